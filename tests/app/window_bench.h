#pragma once

// A main window on the offscreen platform against its own stand-in mouse, with every feature
// report in a trace and the message boxes and file choosers scripted.

#include <QCoreApplication>
#include <QEnterEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"
#include "app/user_dialogs.h"
#include "device/clock.h"
#include "device/memory_layout.h"
#include "keys/key_assignment.h"
#include "keys/key_layers.h"
#include "model/default_image.h"
#include "platform/gsettings_pointer_store.h"
#include "shell/language_file.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"

namespace corvid::app::testing {

class ScriptedDialogs final : public UserDialogs {
 public:
  void ShowMessage(QWidget*, const QString& text, bool) override { messages << text; }
  QString ChooseFileToOpen(QWidget*, const QString&) override { return fileToOpen; }
  QString ChooseFileToSave(QWidget*, const QString&) override { return fileToSave; }
  void OpenWebAddress(const QString& address) override { opened << address; }
  QColor ChooseColour(QWidget*, const QColor&) override { return colourToChoose; }

  QStringList messages;
  QStringList opened;
  QString fileToOpen;
  QString fileToSave;
  QColor colourToChoose;  // invalid: the chooser is cancelled
};

struct BenchOptions {
  device::MemoryLayout layout = device::MemoryLayout::LayoutI2C;
  // The tool built for Flash macro storage rather than the default build.
  bool flashBuild = false;
  int language = 1;
  // What the mouse says it is: type 1 cannot play macros from its buttons.
  std::uint8_t deviceType = sim::StandInMouseConfig{}.deviceType;
};

class WindowBench {
 public:
  explicit WindowBench(BenchOptions options = {}) : mouse(MouseConfig(options), clock) {
    const auto image = shell::ResourceBytes("Corvid88Data");
    mouse.SetBank(0, image->subspan(0, device::kParameterSectionSize));
    mouse.SetBank(1, image->subspan(device::kParameterSectionSize, device::kProfileSectionSize));
    bus.PlugKeyboard();
    session::SessionSetup setup = session::BuiltInSetup();
    setup.CurrentLanguage = options.language;
    if (options.flashBuild) {
      flashImage = model::DefaultImageFor(setup.defaultImage, device::StorageKind::Flash);
      setup.defaultImage = flashImage;
    }
    window = std::make_unique<MainWindow>(traced, clock, setup,
                                          folder.filePath("Corvid88-Macro.bin").toStdString(),
                                          dialogs, *pointerStore);
    window->DevTimer().stop();  // the tests poll when they want to
  }

  // Plugs the stand-in mouse in and lets the poll find it; starts a fresh trace.
  void Connect() {
    const sim::StandInMouseConfig& config = mouse.Config();
    mousePlug = bus.PlugDevice(mouse, config.vendorId, config.productId, config.collections);
    window->Session().DevTimerTimer();
    trace.str({});
  }

  std::vector<std::string> Reports() const {
    std::vector<std::string> lines;
    std::istringstream in(trace.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // The control of that name. The window builds a page when it is first opened; a control of a
  // page not opened yet is given as if the user had opened every page before.
  template <typename T = QWidget>
  T* Control(const QString& name) const {
    if (!window->Controls().Find(name)) {
      for (int n = 1; n <= 5; ++n) window->EnsurePage(n);
    }
    T* control = window->Controls().Get<T>(name);
    if (!control) qFatal("no control %s", qPrintable(name));
    return control;
  }
  QString PictureOf(const QString& name) const { return Control<SkinPicture>(name)->SkinName(); }
  QString CaptionOf(const QString& name) const { return Control<SkinButton>(name)->Caption(); }
  void Click(const QString& name) { Control<SkinButton>(name)->click(); }
  void Enter(const QString& name) {
    SkinButton* button = Control<SkinButton>(name);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(button, &enter);
  }
  void Leave(const QString& name) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(Control<SkinButton>(name), &leave);
  }
  // Gives slot 1..12 of the layer the menu function of that English caption, as the menus do.
  void Assign(int layer, int slot, const char* caption) {
    session::Session& session = window->Session();
    keys::KeyPageState page =
        keys::KeyPageStateOf(session.DataBuf(), keys::CaptionContextOf(session, &session.Macros()));
    page.layer = layer;
    page.captions = keys::LayerCaptions(session.DataBuf(), layer,
                                        keys::CaptionContextOf(session, &session.Macros()));
    const auto tag = keys::MenuTagOfCaption(1, caption);
    if (!tag) qFatal("no menu item %s", caption);
    const keys::SlotAssignment assigned = keys::AssignMenuFunction(session, page, slot, *tag, {});
    if (!keys::IsStored(assigned.result)) qFatal("%s not assigned", caption);
  }
  static QString Text(int language, const char* key) {
    const std::string_view text = shell::LanguageText(language, key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  }

  static sim::StandInMouseConfig MouseConfig(const BenchOptions& options) {
    sim::StandInMouseConfig config = sim::StandInMouseConfig::ForLayout(options.layout);
    config.deviceType = options.deviceType;
    return config;
  }

  QTemporaryDir folder;  // the test's own files: the PC macro library
  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus bus;
  std::ostringstream trace;
  sim::TracingHidBus traced{bus, trace};
  std::vector<std::uint8_t> flashImage;
  int mousePlug = -1;
  ScriptedDialogs dialogs;
  // GSettings in memory (the tests' environment says so): nothing touches the desktop's settings.
  std::unique_ptr<platform::GSettingsPointerStore> pointerStore =
      platform::GSettingsPointerStore::ForThisSession();
  std::unique_ptr<MainWindow> window;
};

}  // namespace corvid::app::testing
