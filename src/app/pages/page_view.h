#pragma once

// The behaviour of one page of the window. The controls are made by the page's builder and placed
// by the layout; a page view wires them to the operations of the core and shows the page state.
// The main window calls every view at the same moments: texts of a language applied, pages filled
// from the mouse, the mouse gone, the page entered.

#include <QObject>
#include <QWidget>

#include "app/skin/control_index.h"
#include "app/skin/layout_style.h"
#include "app/skin/skin.h"
#include "app/user_dialogs.h"
#include "pages/page_model.h"
#include "platform/pointer_settings_store.h"
#include "session/session.h"
#include "shell/language_file.h"

namespace corvid::app {

// What a page may use: all of it lives as long as the main window.
struct WindowContext {
  QWidget* window;
  session::Session& session;
  const ControlIndex& controls;
  const LayoutStyle& style;
  const Skin& skin;
  UserDialogs& dialogs;
  pages::PageModel& pageModel;
  // Where the computer keeps its pointer settings.
  platform::PointerSettingsStore& pointerStore;
};

class PageView : public QObject {
  Q_OBJECT

 public:
  explicit PageView(WindowContext context) : context_(context) {}

  // Wires the page's controls; called once, when every control exists.
  virtual void Connect() {}
  // The texts of the language the window now shows (after its layout was applied).
  virtual void ApplyTexts(const shell::LanguageFile& texts) { (void)texts; }
  // The page state was filled from DataBuf: show it.
  virtual void Refresh() {}
  // The mouse is gone.
  virtual void ResetForNoDevice() {}
  // Its page button opened the page.
  virtual void Enter() {}

 protected:
  WindowContext& Context() { return context_; }
  session::Session& Session() { return context_.session; }
  template <typename T = QWidget>
  T* Control(const QString& name) const {
    return context_.controls.Get<T>(name);
  }

 private:
  WindowContext context_;
};

}  // namespace corvid::app
