#pragma once

#include <QString>

#include "app/pages/page_view.h"
#include "model/function_codes.h"

namespace corvid::app {

// The fire keys on the Advanced page: the repeat and delay fields of Fire Key1..3 and their
// continue markers. Their settings live in the code of every button with that fire key, so a
// change rewrites those buttons of the layer on show at once (and in Main Control the repeat
// pair that tells the fire keys apart).
//
// Only what the user types or clicks is a change. Filling the fields from the mouse, or when a
// layer is entered, shows the settings the buttons already hold and writes nothing: rewriting
// them would send reports the user never asked for, and a fire key without a button would push
// the field's default into the mouse's repeat pair. Typed values are kept in range: a repeat
// count above 15 becomes 15 and an emptied one 1 (selected, so the next digit replaces it); a
// delay is written while it is 0..4094, and on leaving the field an empty delay becomes 0 and
// one above 4094 becomes 4094. Nothing is written without a mouse or while it is locked.
class FireKeysView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void Connect() override;
  void Refresh() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RepeatEdited(int fireKey, const QString& text);
  void RepeatLeft(int fireKey);
  void DelayEdited(int fireKey, const QString& text);
  void DelayLeft(int fireKey);
  void ContinueClicked(int fireKey);
  void Store(int fireKey, const model::FireKeySetting& setting);
  void ShowFields();
  void ShowContinue(int fireKey);
};

}  // namespace corvid::app
