#include "app/pages/key_page_view.h"

#include "app/pages/pages.h"
#include "app/skin/skin_button.h"
#include "keys/key_layers.h"

namespace corvid::app {

void KeyPageView::ApplyTexts(const shell::LanguageFile& texts) {
  // A key label shows a language text, a macro name or a key combination: only language texts
  // are translated.
  for (int slot = 1; slot <= 12; ++slot) {
    auto* label = Control<SkinButton>(QStringLiteral("Key%1").arg(slot));
    const std::string key = shell::FindKeyOfText(label->Caption().toStdString());
    if (!key.empty()) label->SetCaption(FromUtf8(texts.Text(key)));
  }
  ApplyKeyPageTexts(Context().controls, texts);
}

void KeyPageView::Refresh() { ShowKeyCaptions(); }

void KeyPageView::EnterLayer(const keys::LayerEntry& entry) {
  Context().pageModel.key = entry.page;
  for (int slot = 1; slot <= 12; ++slot) {
    Control(QStringLiteral("Key%1").arg(slot))->setEnabled(entry.labelsEnabled);
  }
  Control(QStringLiteral("Key_Profile"))->setEnabled(entry.kbSwitchItemEnabled);
  // The Fixed Control layer is shown under its cover: it can be looked at, not changed.
  Control(QStringLiteral("Disable"))->setVisible(!entry.labelsEnabled);
  ShowKeyCaptions();
}

void KeyPageView::ShowKeyCaptions() {
  const keys::SlotCaptions& captions = Context().pageModel.key.captions;
  for (int slot = 1; slot <= 12; ++slot) {
    auto* label = Control<SkinButton>(QStringLiteral("Key%1").arg(slot));
    label->SetCaption(FromUtf8(captions[static_cast<std::size_t>(slot - 1)]));
    // A button without a function still has a name a screen reader can say.
    if (label->Caption().isEmpty()) label->setAccessibleName(QStringLiteral("Button %1").arg(slot));
  }
}

}  // namespace corvid::app
