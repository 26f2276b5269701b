#include "app/pages/pages.h"

namespace corvid::app {
namespace {

// A bar of clickable segments, the first one filled; `accessible` names segment i for a screen
// reader.
void BuildBar(ControlFactory& factory, QWidget* page, const QString& prefix, int count,
              const QString& emptyPicture, const QString& filledPicture,
              const std::function<QString(int)>& accessible) {
  for (int i = 1; i <= count; ++i) {
    SkinPicture* segment =
        factory.Picture(page, prefix + QString::number(i), i == 1 ? filledPicture : emptyPicture,
                        SkinPicture::Role::kClickable);
    segment->setAccessibleName(accessible(i));
  }
}

}  // namespace

void BuildAdvancedPage(ControlFactory& factory, QWidget* page) {
  factory.Picture(page, QStringLiteral("Img_P2"), {}, SkinPicture::Role::kBackground);

  for (int n = 1; n <= 8; ++n) {
    factory.Picture(page, QStringLiteral("Img_DPI%1Col").arg(n), QStringLiteral("Col_F"));
    factory.Swatch(page, QStringLiteral("cs_DPI%1Col").arg(n));
    SkinButton* colour =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_DPI%1Col").arg(n));
    colour->setAccessibleName(QStringLiteral("DPI level %1 colour").arg(n));
    for (const char* channel : {"R", "G", "B"}) {
      factory.Edit(page, QStringLiteral("edt_DPI%1Col%2").arg(n).arg(channel), {30, 18})->hide();
    }
    SkinPicture* marker = factory.Picture(page, QStringLiteral("Img_DPI%1").arg(n),
                                          QStringLiteral("CbS_D"), SkinPicture::Role::kClickable);
    marker->setAccessibleName(QStringLiteral("DPI level %1 current").arg(n));
    SkinButton* level =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_DPI%1").arg(n));
    level->SetCaption(QStringLiteral("DPI %1").arg(n));
    level->resize(52, 18);
    // Empty until the page shows the level's step.
    factory.Caption(page, QStringLiteral("lbl_DPI%1Value").arg(n));
    BuildBar(factory, page, QStringLiteral("Img_DPI%1_").arg(n), 12, QStringLiteral("Bar2_D"),
             QStringLiteral("Bar2_E"),
             [n](int k) { return QStringLiteral("DPI level %1, step %2").arg(n).arg(k); });
  }
  factory.Caption(page, QStringLiteral("lbl_AIMDPI"), QStringLiteral("AIM"));
  factory.Caption(page, QStringLiteral("lbl_AIMDPIValue"));
  BuildBar(factory, page, QStringLiteral("Img_AIMDPI_"), 12, QStringLiteral("Bar2_D"),
           QStringLiteral("Bar2_E"),
           [](int k) { return QStringLiteral("Aim DPI, step %1").arg(k); });

  static constexpr std::array<int, 4> kRates{125, 250, 500, 1000};
  for (int r = 1; r <= 4; ++r) {
    factory.Picture(page, QStringLiteral("Img_Rep%1").arg(r), QStringLiteral("RdS_D"));
    SkinButton* rate =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_Rep%1").arg(r));
    rate->SetCaption(QStringLiteral("      %1 Hz").arg(kRates[r - 1]));
    rate->setAccessibleName(QStringLiteral("Report rate %1 Hz").arg(kRates[r - 1]));
    rate->resize(86, 20);
  }

  for (int i = 1; i <= 3; ++i) {
    QLineEdit* repeat = factory.Edit(page, QStringLiteral("Edt_Repeat%1").arg(i), {40, 20});
    repeat->setAccessibleName(QStringLiteral("Fire key %1 repeat").arg(i));
    QLineEdit* delay = factory.Edit(page, QStringLiteral("Edt_DelayTime%1").arg(i), {40, 20});
    delay->setAccessibleName(QStringLiteral("Fire key %1 delay").arg(i));
    factory.Picture(page, QStringLiteral("Img_Fire%1Continue").arg(i), QStringLiteral("CbS_D"));
    SkinButton* keepOn =
        factory.Button(page, SkinButton::Type::kPlain, QStringLiteral("lbl_Fire%1Continue").arg(i));
    keepOn->setAccessibleName(QStringLiteral("Fire key %1 continuous").arg(i));
    keepOn->resize(20, 18);
  }

  struct PointerBar {
    const char* bar;
    const char* caption;
    const char* words;
  };
  for (const PointerBar& bar : {PointerBar{"Img_Spd", "lbl_Spd", "Pointer speed"},
                                PointerBar{"Img_DbSpd", "lbl_DbSpd", "Double-click speed"},
                                PointerBar{"Img_ScrSpd", "lbl_ScrSpd", "Wheel scroll lines"}}) {
    const QString words = QString::fromLatin1(bar.words);
    BuildBar(factory, page, QString::fromLatin1(bar.bar), 10, QStringLiteral("Bar1_D"),
             QStringLiteral("Bar1_E"),
             [words](int i) { return QStringLiteral("%1, step %2").arg(words).arg(i); });
    for (int i = 1; i <= 10; ++i) {
      factory.Caption(page, QString::fromLatin1(bar.caption) + QString::number(i),
                      QString::number(i));
    }
  }
}

}  // namespace corvid::app
