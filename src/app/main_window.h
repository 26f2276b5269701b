#pragma once

#include <QBitmap>
#include <QHash>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/busy_window.h"
#include "app/pages/advanced_page_view.h"
#include "app/pages/key_page_view.h"
#include "app/pages/page_view.h"
#include "app/pages/update_page_view.h"
#include "app/skin/control_index.h"
#include "app/skin/layout_style.h"
#include "app/skin/skin.h"
#include "app/user_dialogs.h"
#include "device/clock.h"
#include "device/hid_bus.h"
#include "pages/page_model.h"
#include "session/session.h"
#include "shell/layout_file.h"

namespace corvid::app {

class SkinButton;

// The pages in the order of their page buttons (the hidden radio buttons rb_1..rb_7).
enum class Page { kMain = 1, kSwitch, kFixed, kAdvanced, kBreath, kMacro, kUpdate };

// The main window: a border-less 800 x 600 skin shaped by its colour key, five pages stacked in
// one place with the page buttons on each, the device poll, the caption marquee and the language
// switch. It shows what the session holds and calls the same operations as the command line.
class MainWindow : public QWidget, public session::SessionObserver {
  Q_OBJECT

 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;
  static constexpr int kDevTimerInterval = 3500;
  static constexpr int kLabelRunInterval = 200;

  // `libraryFile` names the PC macro library instead of its usual place (may be empty);
  // `pointerStore` is where the computer keeps its pointer settings.
  MainWindow(device::HidBus& bus, device::Clock& clock, session::SessionSetup setup,
             const std::filesystem::path& libraryFile, UserDialogs& dialogs,
             platform::PointerSettingsStore& pointerStore);
  ~MainWindow() override;

  session::Session& Session() { return *session_; }
  const ControlIndex& Controls() const { return controls_; }
  const LayoutStyle& Style() const { return style_; }
  const Skin& SkinSet() const { return skin_; }
  // The page views, in page order: keys, Advanced, Breathing Light, macros, Update; then the
  // fire keys of the Advanced page. A page not yet opened is built first.
  PageView& View(int n);
  // The key page is built with the window; the others when they are first opened, so that the
  // window starts quickly and a page never opened costs nothing.
  void EnsurePage(int n);
  bool PageBuilt(int n) const { return built_.at(static_cast<std::size_t>(n - 1)); }
  BusyWindowQt& Busy() { return *busy_; }
  Page CurrentPage() const { return page_; }
  int CurrentLanguage() const { return session_->CurrentLanguage(); }
  QTimer& DevTimer() { return devTimer_; }
  // The group box of page n (1..5).
  QWidget* PageBox(int n) const { return pageBoxes_.at(static_cast<std::size_t>(n - 1)); }
  // The page group box on show.
  int VisiblePageBox() const;
  // The first layout key the last apply could not read; empty when it was complete.
  QString LayoutError() const { return layoutError_; }

  // The page buttons (any of their five copies), the border's other buttons. Returns whether
  // the page opened.
  bool PageButtonClick(Page page);
  void LanguageButtonClick(int language);
  void SaveProfileClick();
  void LoadProfileClick();
  void ResetClick();
  void WebClick();
  // One turn of the caption under the pointer (the 200 ms marquee timer).
  void LabelRunTimer();

  // SessionObserver
  void ShowMessage(const session::Message& message) override;
  void RefreshPages() override;
  void ResetPagesForNoDevice() override;
  void ShowErrorPage() override;
  void RestorePagesAfterRead(bool updatePageAvailable) override;
  void UIToDataBuf(model::DataBuf& dataBuf) override;
  void SetMacroBindingOffered(bool offered) override;
  void ShowBusyOverlay() override;
  void HideBusyOverlay() override;
  void SetDevTimerEnabled(bool enabled) override;
  void ConnectionChanged(session::ConnectionState state) override;
  void LanguageChanged() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddTrayIcon();
  void BuildPageBoxes();
  // Controls, their layout, texts and pictures, and the view of page n; then the view is told
  // the state of the mouse.
  void BuildPage(int n);
  void ConnectControls(std::size_t firstNew);
  void SetUpListsAndEdits();
  void LoadSkin();
  void PlaceWebButton();
  void ApplyLayoutAndLanguage(int language);
  void ApplyLayout();
  void ApplyLanguageTexts(int language);
  void ApplyWindowShape();
  void ShowPageBox(int n);
  void ShowPagePicture();
  void SetPicture(const QString& pictureName, const QString& skinName);
  void SetCopies(const QString& family, const QString& skinName);
  void ButtonTypeB_1IconInit();
  void SelectLanguagePictures();
  void HideAllMenu();
  void OnButtonEntered(SkinButton* button);
  void OnButtonLeft(SkinButton* button);
  void StopMarquee();
  QString PictureOf(const SkinButton* button) const;
  QString Text(const char* key) const;

  Skin skin_;
  ControlIndex controls_;
  LayoutStyle style_;
  UserDialogs& dialogs_;
  platform::PointerSettingsStore& pointerStore_;
  std::unique_ptr<BusyWindowQt> busy_;
  std::unique_ptr<session::Session> session_;
  pages::PageModel pageModel_;
  std::unique_ptr<WindowContext> context_;
  // The behaviour of the pages (empty for a page not built yet); the key, Advanced and Update
  // pages are also reached by name.
  std::array<std::unique_ptr<PageView>, 6> views_;
  std::array<bool, 5> built_{};
  std::thread fontLoader_;    // runs during the constructor only
  bool ready_ = false;        // the constructor has laid out, labelled and connected the window
  bool pagesFilled_ = false;  // the pages were last filled from a mouse, not reset for none
  KeyPageView* keyPage_ = nullptr;
  AdvancedPageView* advancedPage_ = nullptr;
  UpdatePageView* updatePage_ = nullptr;
  std::array<QWidget*, 5> pageBoxes_{};
  Page page_ = Page::kMain;
  bool updateAvailable_ = true;
  QString layoutError_;
  QHash<int, QBitmap> shapes_;  // the window's shape per language
  shell::LayoutFile layout_;
  QTimer devTimer_;
  QTimer labelRun_;
  QPointer<SkinButton> marqueeLabel_;
  QString marqueeText_;
  int marqueeCounter_ = 0;
  QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace corvid::app
