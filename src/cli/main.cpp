// corvid88ctl: the mouse's configuration from the command line, on the real mouse or the stand-in.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/environment.h"
#include "device/busy_window.h"
#include "device/discovery.h"
#include "device/layout_identification.h"
#include "device/protocol.h"

namespace corvid::cli {
namespace {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kNoMouse = 3 };

constexpr const char* kUsageText =
    "usage: corvid88ctl [options] COMMAND\n"
    "\n"
    "Options:\n"
    "  --simulate[=i2c|flash-i2c|flash-flash]  use the stand-in mouse (default layout i2c)\n"
    "  --sim-state FILE   load the stand-in mouse from FILE and save it back afterwards\n"
    "  --trace FILE       append every feature report to FILE\n"
    "  --help, --version\n"
    "\n"
    "Commands:\n"
    "  devices   list the HID interfaces, the mouse marked with *\n"
    "  info      connection, controller, macro storage, layout, device type, identity bytes\n"
    "  dump      the two configuration sections as hexadecimal bytes\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 no mouse connected.\n";

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

const char* LayoutName(device::MemoryLayout layout) {
  switch (layout) {
    case device::MemoryLayout::LayoutI2C:
      return "LayoutI2C";
    case device::MemoryLayout::LayoutFlashI2C:
      return "LayoutFlashI2C";
    case device::MemoryLayout::LayoutFlashFlash:
      return "LayoutFlashFlash";
  }
  return "";
}

// The USB IDs this build looks for.
constexpr device::VidPid kMouseIds = {CORVID_VENDOR_ID, CORVID_PRODUCT_ID};

int Devices(Environment& env) {
  for (const device::HidInterfaceInfo& info : env.Bus().ListInterfaces()) {
    const bool isMouse = info.vendorId == kMouseIds.vendorId &&
                         info.productId == kMouseIds.productId &&
                         info.featureReportLength == device::kMouseFeatureReportLength;
    std::cout << (isMouse ? "* " : "  ") << info.path << "  " << Hex(info.vendorId, 4) << ":"
              << Hex(info.productId, 4) << "  feature report " << info.featureReportLength
              << " bytes\n";
  }
  return kOk;
}

// Opens the mouse; prints why not and returns false when it cannot be reached.
bool Connect(Environment& env, device::DeviceLink& link) {
  const device::OpenMouseResult opened =
      device::OpenMouse(env.Bus(), link, kMouseIds.vendorId, kMouseIds.productId);
  if (link.IsConnected()) return true;
  if (!opened.inaccessiblePaths.empty()) {
    std::cerr << "The mouse is attached but this user may not open it ("
              << opened.inaccessiblePaths.front()
              << "). Install the udev rule (cmake --install), then unplug and replug the mouse.\n";
  } else {
    std::cerr << "No Device Found\nPlease check your device is attached to USB port\n";
  }
  return false;
}

int Info(device::Protocol& protocol) {
  const device::Identification id = device::IdentifyLayout(protocol);
  if (!id.info) {
    std::cerr << "The mouse does not answer the device-info query.\n";
    return kFailed;
  }
  std::cout << "controller kind:    "
            << (id.ControllerKind == device::StorageKind::Unknown
                    ? "unknown"
                    : StorageKindText(id.ControllerKind))
            << " (0x" << Hex(id.info->ControllerKindByte(), 2) << ")\n"
            << "macro storage kind: "
            << (id.MacroStorageKind == device::StorageKind::Unknown
                    ? "-"
                    : StorageKindText(id.MacroStorageKind))
            << "\n"
            << "device type:        " << static_cast<int>(id.info->DeviceType()) << "\n";
  if (!id.layout) {
    std::cout << "memory layout:      none (this mouse is not served)\n";
    return kNoMouse;
  }
  std::array<std::uint8_t, 2> identity{};
  protocol.ReadMemory(device::IdentityAddress(*id.layout), identity);
  std::cout << "memory layout:      " << LayoutName(*id.layout) << "\n"
            << "identity bytes:     " << Hex(identity[0], 2) << " " << Hex(identity[1], 2) << "\n";
  return kOk;
}

void PrintHexRows(std::string_view title, std::span<const std::uint8_t> bytes) {
  std::cout << title << " (" << bytes.size() << " bytes)\n";
  for (std::size_t row = 0; row < bytes.size(); row += 16) {
    std::cout << "  " << Hex(static_cast<std::uint32_t>(row), 3) << ":";
    for (std::size_t i = row; i < std::min(bytes.size(), row + 16); ++i) {
      std::cout << ' ' << Hex(bytes[i], 2);
    }
    std::cout << '\n';
  }
}

int Dump(device::Protocol& protocol) {
  std::array<std::uint8_t, device::kParameterSectionSize> parameters{};
  std::array<std::uint8_t, device::kProfileSectionSize> profile{};
  const bool read = protocol.ReadSection(0, 0, parameters) && protocol.ReadSection(1, 0, profile);
  if (!read) {
    std::cerr << "The mouse refused the read.\n";
    return kFailed;
  }
  PrintHexRows("ParameterSection", parameters);
  PrintHexRows("ProfileSection", profile);
  return kOk;
}

std::optional<device::MemoryLayout> ParseLayout(std::string_view name) {
  if (name == "i2c") return device::MemoryLayout::LayoutI2C;
  if (name == "flash-i2c") return device::MemoryLayout::LayoutFlashI2C;
  if (name == "flash-flash") return device::MemoryLayout::LayoutFlashFlash;
  return std::nullopt;
}

int Run(int argc, char** argv) {
  GlobalOptions options;
  std::vector<std::string_view> args(argv + 1, argv + argc);
  std::vector<std::string_view> command;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const auto needValue = [&](std::string_view name) -> std::optional<std::string_view> {
      if (i + 1 >= args.size()) {
        std::cerr << "corvid88ctl: " << name << " needs a value\n";
        return std::nullopt;
      }
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsageText;
      return kOk;
    } else if (arg == "--version") {
      std::cout << "corvid88ctl " CORVID_VERSION "\n";
      return kOk;
    } else if (arg == "--simulate") {
      options.simulate = device::MemoryLayout::LayoutI2C;
    } else if (arg.starts_with("--simulate=")) {
      options.simulate = ParseLayout(arg.substr(std::strlen("--simulate=")));
      if (!options.simulate) {
        std::cerr << "corvid88ctl: unknown layout in " << arg
                  << " (i2c, flash-i2c or flash-flash)\n";
        return kUsage;
      }
    } else if (arg == "--sim-state" || arg == "--trace") {
      const auto value = needValue(arg);
      if (!value) return kUsage;
      (arg == "--trace" ? options.traceFile : options.simStateFile) = std::string(*value);
    } else if (arg.starts_with("--")) {
      std::cerr << "corvid88ctl: unknown option " << arg << "\n" << kUsageText;
      return kUsage;
    } else {
      command.push_back(arg);
    }
  }
  if (command.size() != 1) {
    std::cerr << kUsageText;
    return kUsage;
  }
  if (options.simStateFile && !options.simulate) options.simulate = device::MemoryLayout::LayoutI2C;

  std::string error;
  std::unique_ptr<Environment> env = Environment::Create(options, error);
  if (!env) {
    std::cerr << "corvid88ctl: " << error << "\n";
    return kFailed;
  }

  int status = kUsage;
  if (command[0] == "devices") {
    status = Devices(*env);
  } else if (command[0] == "info" || command[0] == "dump") {
    device::DeviceLink link;
    device::NoBusyWindow busy;
    device::Protocol protocol(env->Bus(), link, env->Clock(), busy);
    if (!Connect(*env, link)) {
      status = kNoMouse;
    } else {
      status = command[0] == "info" ? Info(protocol) : Dump(protocol);
    }
    device::EmptyDeviceLink(env->Bus(), link);
  } else {
    std::cerr << "corvid88ctl: unknown command " << command[0] << "\n" << kUsageText;
    return kUsage;
  }

  if (!env->SaveSimulatedState(error)) {
    std::cerr << "corvid88ctl: " << error << "\n";
    return kFailed;
  }
  return status;
}

}  // namespace
}  // namespace corvid::cli

int main(int argc, char** argv) { return corvid::cli::Run(argc, argv); }
