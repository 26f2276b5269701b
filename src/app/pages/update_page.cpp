#include "app/pages/pages.h"

namespace corvid::app {

void BuildUpdatePage(ControlFactory& factory, QWidget* page) {
  factory.Picture(page, QStringLiteral("Img_P5"), {}, SkinPicture::Role::kBackground);
  factory.Caption(page, QStringLiteral("lbl_BINPath"));
  QLabel* path = factory.Caption(page, QStringLiteral("lbl_LoadBIN"));
  path->setTextFormat(Qt::PlainText);
  for (const char* name : {"LoadBIN", "Program"}) {
    const QString picture = QStringLiteral("Img_%1").arg(name);
    factory.Picture(page, picture, QStringLiteral("KeyS_01"));
    SkinButton* button =
        factory.Button(page, SkinButton::Type::kE, QStringLiteral("Btn_%1").arg(name));
    button->resize(factory.Index().Find(picture)->size());
  }
}

void ApplyUpdatePageTexts(const ControlIndex& controls, const shell::LanguageFile& texts) {
  if (auto* label = controls.Get<QLabel>(QStringLiteral("lbl_BINPath"))) {
    label->setText(FromUtf8(texts.Text("Str442")));
    label->adjustSize();
  }
  if (auto* button = controls.Get<SkinButton>(QStringLiteral("Btn_LoadBIN"))) {
    button->SetCaption(FromUtf8(texts.Text("Str440")));
  }
  if (auto* button = controls.Get<SkinButton>(QStringLiteral("Btn_Program"))) {
    button->SetCaption(FromUtf8(texts.Text("Str441")));
  }
}

}  // namespace corvid::app
