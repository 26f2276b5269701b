#include "startup/environment.h"

#include "device/hid_linux.h"
#include "model/default_image.h"
#include "shell/resources.h"
#include "sim/state_file.h"

namespace corvid::startup {

namespace {

// The stand-in plays a mouse the build serves unless told otherwise: a build for Flash macro
// storage gets a Flash/Flash one. The tool itself never changes for it.
device::MemoryLayout BuildsOwnLayout(std::span<const std::uint8_t> defaultImage) {
  const auto header = model::ReadDefaultImageHeader(defaultImage);
  return header && header->imageStorageKind == device::StorageKind::Flash
             ? device::MemoryLayout::LayoutFlashFlash
             : device::MemoryLayout::LayoutI2C;
}

}  // namespace

std::unique_ptr<Environment> Environment::Create(const GlobalOptions& options, std::string& error) {
  std::unique_ptr<Environment> env(new Environment());
  if (options.simulate) {
    // Nothing real waits on a simulated device, so neither do we.
    env->clock_ = std::make_unique<device::FakeClock>();
    if (options.simStateFile && std::filesystem::exists(*options.simStateFile)) {
      sim::DecodedState state = sim::LoadState(*options.simStateFile, *env->clock_);
      if (!state.mouse) {
        error = state.error;
        return nullptr;
      }
      env->mouse_ = std::move(state.mouse);
    } else {
      const auto image = shell::ResourceBytes("Corvid88Data");
      const device::MemoryLayout layout = options.simulatedLayout.value_or(
          BuildsOwnLayout(image ? *image : std::span<const std::uint8_t>{}));
      env->mouse_ = std::make_unique<sim::StandInMouse>(sim::StandInMouseConfig::ForLayout(layout),
                                                        *env->clock_);
      // A new stand-in mouse comes from the factory with the build's default configuration.
      if (image) {
        env->mouse_->SetBank(0, image->subspan(0, device::kParameterSectionSize));
        env->mouse_->SetBank(
            1, image->subspan(device::kParameterSectionSize, device::kProfileSectionSize));
      }
    }
    env->stateFile_ = options.simStateFile;
    auto bus = std::make_unique<sim::SimulatedBus>();
    bus->PlugKeyboard();
    const sim::StandInMouseConfig& config = env->mouse_->Config();
    bus->PlugDevice(*env->mouse_, config.vendorId, config.productId, config.collections);
    env->bus_ = std::move(bus);
  } else {
    env->clock_ = std::make_unique<device::SteadyClock>();
    env->bus_ = std::make_unique<device::LinuxHidBus>();
  }

  if (options.traceFile) {
    env->trace_.open(*options.traceFile, std::ios::app);
    if (!env->trace_) {
      error = options.traceFile->string() + ": cannot open the trace file";
      return nullptr;
    }
    // Each report reaches the file as it happens: the window runs for long, and whoever watches
    // the trace (or the tool crashing) must not wait for the end of the run.
    env->trace_ << std::unitbuf;
    env->tracing_ = std::make_unique<sim::TracingHidBus>(*env->bus_, env->trace_);
  }
  return env;
}

Environment::~Environment() = default;

bool Environment::SaveSimulatedState(std::string& error) {
  if (!mouse_ || !stateFile_) return true;
  const common::FileResult saved = sim::SaveState(*mouse_, *stateFile_);
  if (!saved) error = saved.error;
  return saved.ok;
}

}  // namespace corvid::startup
