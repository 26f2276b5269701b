#pragma once

#include <string>

#include "model/data_buf.h"
#include "session/connection_state.h"

namespace corvid::session {

// A message for the user: the language key it came from and its text in the current language.
// Shown in a modal box with one OK button.
struct Message {
  std::string key;
  std::string text;
  bool emptyCaption = false;  // the identity refusal shows no caption
  // The no-device message of a restart the tool asked for: the mouse is being looked for again.
  // A front end without passing messages may say so instead; a mouse not found again is told
  // with a message of its own.
  bool whileRestarting = false;
};

// What the session asks of whoever shows it: the window, the command-line tool, or a recording
// fake in tests. The session decides; the observer only shows.
class SessionObserver {
 public:
  virtual ~SessionObserver() = default;

  // Modal: returns when the user has dismissed it.
  virtual void ShowMessage(const Message& message) = 0;
  // Fill every page from DataBuf and the macro lists.
  virtual void RefreshPages() = 0;
  // Take the pages' own state back into DataBuf (UIToDataBuf): a setting changed while the mouse
  // was locked against writes lives only on its page until then. Asked before a profile is saved.
  virtual void UIToDataBuf(model::DataBuf& dataBuf) = 0;
  // The mouse is gone: cover the key area, close the function menus, stop the caption marquee,
  // clear the macro lists and the LED type text.
  virtual void ResetPagesForNoDevice() = 0;
  // Show the first page only, with its tab images as selected.
  virtual void ShowErrorPage() = 0;
  // After a full read: the Update page buttons are shown only for a Flash/Flash mouse; the key
  // page is shown again and the current key layer re-entered.
  virtual void RestorePagesAfterRead(bool updatePageAvailable) = 0;
  // Whether the mouse offers binding a button to a macro (the function menu's macro entry);
  // told when a mouse says so on identification.
  virtual void SetMacroBindingOffered(bool offered) = 0;
  // The transparent overlays that keep clicks from the pages during long transfers.
  virtual void ShowBusyOverlay() = 0;
  virtual void HideBusyOverlay() = 0;
  // The device poll timer.
  virtual void SetDevTimerEnabled(bool enabled) = 0;
  // Where the connection stands now (told at every change).
  virtual void ConnectionChanged(ConnectionState state) { (void)state; }
  // The session speaks another language now: captions that rules compare (the key labels, the
  // menu items) must be taken again in it.
  virtual void LanguageChanged() {}
};

// Does nothing: for callers that show nothing.
class NoSessionObserver : public SessionObserver {
 public:
  void ShowMessage(const Message&) override {}
  void RefreshPages() override {}
  void UIToDataBuf(model::DataBuf&) override {}
  void ResetPagesForNoDevice() override {}
  void ShowErrorPage() override {}
  void RestorePagesAfterRead(bool) override {}
  void SetMacroBindingOffered(bool) override {}
  void ShowBusyOverlay() override {}
  void HideBusyOverlay() override {}
  void SetDevTimerEnabled(bool) override {}
};

}  // namespace corvid::session
