#include "app/pages/light_page_view.h"

#include <QLineEdit>
#include <array>

#include "app/pages/setting_controls.h"
#include "performance/lighting.h"

namespace corvid::app {
namespace {

// lbl_Off, lbl_LED1 .. lbl_LED5 and their pictures.
QString ModeName(const char* prefix, int mode) {
  return QString::fromLatin1(prefix) + (mode == performance::kLedModeOff
                                            ? QStringLiteral("Off")
                                            : QStringLiteral("LED%1").arg(mode));
}

}  // namespace

void LightPageView::Connect() {
  const auto onClick = [this](const QString& name, auto handler) {
    if (auto* button = Control<QAbstractButton>(name)) {
      connect(button, &QAbstractButton::clicked, this, handler);
    }
  };
  for (int mode = performance::kLedModeOff; mode <= performance::kLedModeCount; ++mode) {
    onClick(ModeName("lbl_", mode), [this, mode] { RGBMode_OnClick(mode); });
  }
  for (int segment = 1; segment <= model::kLedStepCount; ++segment) {
    onClick(QStringLiteral("Img_Fall%1").arg(segment),
            [this, segment] { FallTime_OnClick(segment); });
  }
  for (int colour = 1; colour <= model::kLedColourCount; ++colour) {
    onClick(QStringLiteral("lbl_Col%1").arg(colour), [this, colour] { Colour_OnClick(colour); });
  }
}

void LightPageView::Refresh() {
  ShowModes();
  ShowStepTime();
  for (int colour = 1; colour <= model::kLedColourCount; ++colour) ShowColour(colour);
}

void LightPageView::RGBMode_OnClick(int mode) {
  performance::SetLedMode(Session(), Context().pageModel.lighting, mode);
  ShowModes();
}

void LightPageView::FallTime_OnClick(int segment) {
  performance::SetLedStepTime(Session(), Context().pageModel.lighting, segment);
  ShowStepTime();
}

void LightPageView::Colour_OnClick(int colour) {
  performance::LightingPageState& lighting = Context().pageModel.lighting;
  const QColor shown = ShownColour(lighting.ledColour[static_cast<std::size_t>(colour - 1)]);
  const QColor chosen = Context().dialogs.ChooseColour(Context().window, shown);
  if (!chosen.isValid()) return;
  performance::SetLedColour(Session(), lighting, colour, ChosenChannels(chosen));
  ShowColour(colour);
}

void LightPageView::ShowModes() {
  const performance::LightingPageState& lighting = Context().pageModel.lighting;
  for (int mode = performance::kLedModeOff; mode <= performance::kLedModeCount; ++mode) {
    const bool offered = performance::IsLedModeOffered(lighting.LedFamily, mode);
    for (const char* prefix : {"lbl_", "Img_"}) {
      if (QWidget* control = Control(ModeName(prefix, mode))) control->setVisible(offered);
    }
    // A mode the family does not offer leaves the markers as they were.
    if (lighting.checkedMode) {
      if (auto* marker = Control<SkinPicture>(ModeName("Img_", mode))) {
        marker->SetPicture(*lighting.checkedMode == mode ? QStringLiteral("RdS_E")
                                                         : QStringLiteral("RdS_D"));
      }
    }
  }
  // No step time can be chosen while the light is off.
  EnableBar(Context().controls, QStringLiteral("Img_Fall"), model::kLedStepCount,
            lighting.stepTimeEnabled);
}

void LightPageView::ShowStepTime() {
  ShowBar(Context().controls, QStringLiteral("Img_Fall"), model::kLedStepCount,
          Context().pageModel.lighting.LedStepIndex, QStringLiteral("Bar1_D"),
          QStringLiteral("Bar1_E"));
}

void LightPageView::ShowColour(int colour) {
  const performance::LightingPageState& lighting = Context().pageModel.lighting;
  const model::ColourChannels stored = lighting.ledColour[static_cast<std::size_t>(colour - 1)];
  for (const char* name : {"cs_Col%1", "Img_Col%1", "lbl_Col%1"}) {
    if (QWidget* control = Control(QString::fromLatin1(name).arg(colour))) {
      control->setVisible(lighting.coloursShown);
    }
  }
  PaintSwatch(Control(QStringLiteral("cs_Col%1").arg(colour)), ShownColour(stored));
  const std::array<std::pair<const char*, std::uint8_t>, 3> channels{
      {{"Edt_Col%1R", stored.red}, {"Edt_Col%1G", stored.green}, {"Edt_Col%1B", stored.blue}}};
  for (const auto& [name, value] : channels) {
    if (auto* edit = Control<QLineEdit>(QString::fromLatin1(name).arg(colour))) {
      edit->setText(QString::number(value));
    }
  }
}

}  // namespace corvid::app
