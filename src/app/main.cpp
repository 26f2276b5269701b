// corvid88: the mouse's configuration in a window, on the real mouse or the stand-in.

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QMessageBox>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/user_dialogs.h"
#include "platform/gsettings_pointer_store.h"
#include "startup/environment.h"
#include "startup/startup_options.h"

namespace {

const char* const kUsage =
    "usage: corvid88 [options]\n"
    "\n"
    "Options:\n";

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("corvid88"));
  QApplication::setApplicationDisplayName(QStringLiteral("Gaming Mouse"));
  QApplication::setApplicationVersion(QStringLiteral(CORVID_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("corvid88"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/AppIcon.png")));

  using namespace corvid;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  startup::StartupOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] == "--help") {
      std::cout << kUsage << startup::kStartupOptionsUsage;
      return 0;
    }
    if (args[i] == "--version") {
      std::cout << "corvid88 " CORVID_VERSION "\n";
      return 0;
    }
    switch (startup::TakeStartupOption(args, i, options, error)) {
      case startup::OptionTaken::kTaken:
        continue;
      case startup::OptionTaken::kNotOurs:
        error = "unknown option " + std::string(args[i]);
        break;
      case startup::OptionTaken::kInvalid:
        break;
    }
    std::cerr << "corvid88: " << error << "\n\n" << kUsage << startup::kStartupOptionsUsage;
    return 2;
  }
  startup::FinishStartupOptions(options);

  QString instanceKey = QStringLiteral("corvid88-%1").arg(qEnvironmentVariable("USER", "user"));
  if (options.environment.simulate) instanceKey += QStringLiteral("-stand-in");
  app::SingleInstance instance(instanceKey);
  if (!instance.IsFirst()) return 0;

  std::string error;
  const std::unique_ptr<startup::Environment> environment =
      startup::Environment::Create(options.environment, error);
  if (!environment) {
    std::cerr << "corvid88: " << error << "\n";
    QMessageBox::critical(nullptr, QApplication::applicationDisplayName(),
                          QString::fromStdString(error));
    return 1;
  }

  app::PlatformDialogs dialogs;
  const std::unique_ptr<platform::GSettingsPointerStore> pointerStore =
      platform::GSettingsPointerStore::ForThisSession();
  session::SessionSetup setup = session::BuiltInSetup();
  setup.CurrentLanguage = options.language;
  int status = 0;
  {
    app::MainWindow window(environment->Bus(), environment->Clock(), setup,
                           options.libraryFile.value_or(std::filesystem::path{}), dialogs,
                           *pointerStore);
    QObject::connect(&instance, &app::SingleInstance::ActivationRequested, &window, [&window] {
      window.showNormal();
      window.raise();
      window.activateWindow();
    });
    window.show();
    status = QApplication::exec();
  }
  if (!environment->SaveSimulatedState(error)) {
    std::cerr << "corvid88: " << error << "\n";
    return 1;
  }
  return status;
}
