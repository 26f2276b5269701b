#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/session_observer.h"

namespace corvid::testing_support {

// Remembers what the session asked to show.
class RecordingObserver final : public session::SessionObserver {
 public:
  void ShowMessage(const session::Message& message) override {
    messages.push_back(message.key);
    lastMessage = message;
  }
  void RefreshPages() override { ++pageRefreshes; }
  void UIToDataBuf(model::DataBuf&) override { ++pageStateTakings; }
  void ResetPagesForNoDevice() override { ++noDeviceResets; }
  void ShowErrorPage() override { ++errorPages; }
  void RestorePagesAfterRead(bool available) override { updatePageAvailable = available; }
  void SetMacroBindingOffered(bool offered) override {
    macroBindingOffered = offered;
    macroBindingOfferedChanged = offered;
  }
  void ShowBusyOverlay() override { overlayShown = true; }
  void HideBusyOverlay() override { overlayShown = false; }
  void SetDevTimerEnabled(bool enabled) override { devTimerEnabled = enabled; }
  void ConnectionChanged(session::ConnectionState state) override { states.push_back(state); }
  void LanguageChanged() override { ++languageChanges; }

  void Clear() { *this = RecordingObserver(); }

  std::vector<std::string> messages;  // language keys, in order
  session::Message lastMessage;
  int pageRefreshes = 0;
  int pageStateTakings = 0;
  int noDeviceResets = 0;
  int errorPages = 0;
  bool updatePageAvailable = false;
  bool macroBindingOffered = true;
  std::optional<bool> macroBindingOfferedChanged;  // what the last connection said, if anything
  bool overlayShown = false;
  bool devTimerEnabled = true;
  std::vector<session::ConnectionState> states;  // every change, in order
  int languageChanges = 0;
};

}  // namespace corvid::testing_support
