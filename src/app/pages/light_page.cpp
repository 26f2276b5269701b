#include "app/pages/pages.h"

namespace corvid::app {

void BuildLightPage(ControlFactory& factory, QWidget* page) {
  factory.Picture(page, QStringLiteral("Img_P3"), {}, SkinPicture::Role::kBackground);
  for (int i = 1; i <= 10; ++i) {
    SkinPicture* segment =
        factory.Picture(page, QStringLiteral("Img_Fall%1").arg(i),
                        i == 1 ? QStringLiteral("Bar1_E") : QStringLiteral("Bar1_D"),
                        SkinPicture::Role::kClickable);
    segment->setAccessibleName(QStringLiteral("Step time, step %1").arg(i));
    factory.Caption(page, QStringLiteral("lbl_Fall%1").arg(i), QString::number(i));
  }
  factory.Picture(page, QStringLiteral("Img_Off"), QStringLiteral("RdS_D"));
  // The caption sits right of the radio marker, which lies under the label's left end.
  SkinButton* off = factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_Off"));
  off->SetCaption(QStringLiteral("      Off"));
  off->setAccessibleName(QStringLiteral("Light off"));
  off->resize(110, 20);
  for (int m = 1; m <= 5; ++m) {
    factory.Picture(page, QStringLiteral("Img_LED%1").arg(m), QStringLiteral("RdS_D"));
    SkinButton* mode =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_LED%1").arg(m));
    mode->SetCaption(QStringLiteral("      Mode %1").arg(m));
    mode->setAccessibleName(QStringLiteral("Light mode %1").arg(m));
    mode->resize(110, 20);
  }
  for (int n = 1; n <= 7; ++n) {
    factory.Picture(page, QStringLiteral("Img_Col%1").arg(n), QStringLiteral("Col_F"));
    factory.Swatch(page, QStringLiteral("cs_Col%1").arg(n));
    SkinButton* colour =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_Col%1").arg(n));
    colour->setAccessibleName(QStringLiteral("Light colour %1").arg(n));
    for (const char* channel : {"R", "G", "B"}) {
      factory.Edit(page, QStringLiteral("Edt_Col%1%2").arg(n).arg(channel), {30, 18})->hide();
    }
  }
}

}  // namespace corvid::app
