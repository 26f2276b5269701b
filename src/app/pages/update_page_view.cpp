#include "app/pages/update_page_view.h"

#include <QLabel>

#include "app/pages/pages.h"
#include "app/skin/skin_button.h"
#include "session/whole_image_operations.h"

namespace corvid::app {

void UpdatePageView::Connect() {
  connect(Control<SkinButton>(QStringLiteral("Btn_LoadBIN")), &SkinButton::clicked, this,
          &UpdatePageView::LoadBinClick);
  connect(Control<SkinButton>(QStringLiteral("Btn_Program")), &SkinButton::clicked, this,
          &UpdatePageView::ProgramClick);
}

void UpdatePageView::ApplyTexts(const shell::LanguageFile& texts) {
  ApplyUpdatePageTexts(Context().controls, texts);
}

void UpdatePageView::Enter() {
  // A new visit forgets the file chosen before; the code read from it is kept.
  Control<QLabel>(QStringLiteral("lbl_LoadBIN"))->clear();
  patch_.EnterPage();
}

void UpdatePageView::LoadBinClick() {
  const QString file =
      Context().dialogs.ChooseFileToOpen(Context().window, QStringLiteral("LoadFile (*.bin)"));
  if (file.isEmpty()) return;
  auto* path = Control<QLabel>(QStringLiteral("lbl_LoadBIN"));
  path->setText(file);
  path->adjustSize();
  const device::PatchLoadResult loaded = device::LoadPatchBin(file.toStdString(), patch_);
  if (loaded) return;
  if (!loaded.messageKey.empty()) {
    Session().Show(loaded.messageKey);
  } else {
    Context().dialogs.ShowMessage(Context().window, FromUtf8(loaded.message), false);
  }
}

void UpdatePageView::ProgramClick() { session::ProgramFirmwarePatch(Session(), patch_); }

}  // namespace corvid::app
