#include "app/pages/advanced_page_view.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "app/pages/pages.h"
#include "app/pages/setting_controls.h"
#include "app/skin/skin_button.h"
#include "keys/fire_aim_keys.h"
#include "performance/dpi.h"
#include "performance/report_rate.h"

namespace corvid::app {
namespace {

using performance::PointerSetting;

constexpr int kLevels = model::kDpiLevelCount;
constexpr int kSteps = model::kDpiStepCount;
constexpr std::array<model::UsbReportRate, 4> kRates{
    model::UsbReportRate::Hz125, model::UsbReportRate::Hz250, model::UsbReportRate::Hz500,
    model::UsbReportRate::Hz1000};

struct PointerBarNames {
  PointerSetting setting;
  const char* segment;
  const char* caption;
};
constexpr std::array<PointerBarNames, 3> kPointerBars{
    PointerBarNames{PointerSetting::kSpeed, "Img_Spd", "lbl_Spd"},
    PointerBarNames{PointerSetting::kDoubleClick, "Img_DbSpd", "lbl_DbSpd"},
    PointerBarNames{PointerSetting::kWheel, "Img_ScrSpd", "lbl_ScrSpd"}};

QString LevelName(const char* pattern, int level) {
  return QString::fromLatin1(pattern).arg(level);
}

// A bar that cannot be used is faded, so that it does not look like one waiting for a click.
void Dim(QWidget* control, bool dimmed) {
  if (!dimmed) {
    control->setGraphicsEffect(nullptr);
    return;
  }
  if (control->graphicsEffect()) return;
  auto* effect = new QGraphicsOpacityEffect(control);
  effect->setOpacity(0.35);
  control->setGraphicsEffect(effect);
}

void SetCaption(QLabel* label, const QString& text) {
  if (!label) return;
  label->setText(text);
  label->adjustSize();
}

}  // namespace

void AdvancedPageView::Connect() {
  const auto onClick = [this](const QString& name, auto handler) {
    if (auto* button = Control<QAbstractButton>(name)) {
      connect(button, &QAbstractButton::clicked, this, handler);
    }
  };
  for (int level = 1; level <= kLevels; ++level) {
    onClick(LevelName("lbl_DPI%1", level), [this, level] { DPILevel_OnClick(level); });
    onClick(LevelName("Img_DPI%1", level), [this, level] { CurrentDPI_OnClick(level); });
    onClick(LevelName("lbl_DPI%1Col", level), [this, level] { DPIColour_OnClick(level); });
    for (int segment = 1; segment <= kSteps; ++segment) {
      onClick(LevelName("Img_DPI%1_", level) + QString::number(segment),
              [this, level, segment] { DPIValue_OnClick(level, segment); });
    }
  }
  for (int segment = 1; segment <= kSteps; ++segment) {
    onClick(QStringLiteral("Img_AIMDPI_%1").arg(segment),
            [this, segment] { AIMDPIValue_OnClick(segment); });
  }
  for (int option = 1; option <= static_cast<int>(kRates.size()); ++option) {
    onClick(QStringLiteral("lbl_Rep%1").arg(option),
            [this, option] { ReportRate_OnClick(option); });
  }
  for (const PointerBarNames& bar : kPointerBars) {
    for (int segment = 1; segment <= performance::kPointerBarSteps; ++segment) {
      const PointerSetting setting = bar.setting;
      onClick(QString::fromLatin1(bar.segment) + QString::number(segment),
              [this, setting, segment] { PointerBar_OnClick(setting, segment); });
    }
  }
}

void AdvancedPageView::ApplyTexts(const shell::LanguageFile&) {
  // The layout styles the captions of the first four levels only; the others look like them.
  const auto* firstValue = Control<QLabel>(QStringLiteral("lbl_DPI1Value"));
  const QWidget* firstLevel = Control(QStringLiteral("lbl_DPI1"));
  for (int level = 5; level <= kLevels + 1; ++level) {
    // The aim value follows them as well.
    const QString name =
        level > kLevels ? QStringLiteral("lbl_AIMDPIValue") : LevelName("lbl_DPI%1Value", level);
    if (auto* value = Control<QLabel>(name); value && firstValue) {
      value->setFont(firstValue->font());
      value->setPalette(firstValue->palette());
      value->adjustSize();
    }
    if (level > kLevels) break;
    if (QWidget* caption = Control(LevelName("lbl_DPI%1", level)); caption && firstLevel) {
      caption->setFont(firstLevel->font());
    }
  }
  // The step texts are the language's; the layout just applied brought its own caption colours.
  Refresh();
}

void AdvancedPageView::Refresh() {
  ShowDpiLevels();
  for (int level = 1; level <= kLevels; ++level) {
    ShowLevelStep(level);
    ShowLevelColour(level);
  }
  ShowAimDpi();
  ShowReportRate();
}

// The key pages may have changed the layer on show, and with it the aim key.
void AdvancedPageView::Enter() { ShowAimDpi(); }

void AdvancedPageView::RefreshPointerSettings() {
  performance::RefreshPointerSettings(Context().pointerStore, pointer_);
  ShowPointerBars();
}

// ---- clicks ----

void AdvancedPageView::DPILevel_OnClick(int level) {
  performance::ToggleDpiLevel(Session(), Context().pageModel.dpi, level);
  ShowDpiLevels();
}

void AdvancedPageView::CurrentDPI_OnClick(int level) {
  performance::SelectCurrentDpiLevel(Session(), Context().pageModel.dpi, level);
  ShowDpiLevels();
}

void AdvancedPageView::DPIValue_OnClick(int level, int segment) {
  performance::SetDpiLevelStep(Session(), Context().pageModel.dpi, level, segment);
  ShowLevelStep(level);
}

void AdvancedPageView::DPIColour_OnClick(int level) {
  performance::DpiPageState& dpi = Context().pageModel.dpi;
  const QColor shown = ShownColour(dpi.levelColour[static_cast<std::size_t>(level - 1)]);
  const QColor chosen = Context().dialogs.ChooseColour(Context().window, shown);
  if (!chosen.isValid()) return;
  performance::SetDpiLevelColour(Session(), dpi, level, ChosenChannels(chosen));
  ShowLevelColour(level);
}

void AdvancedPageView::AIMDPIValue_OnClick(int segment) {
  pages::PageModel& model = Context().pageModel;
  performance::SetAimDpi(Session(), model.dpi, segment, [this, &model](int aimStep) {
    const keys::AimKeyChange change = keys::SettingAIMKey(Session(), model.key, aimStep);
    if (change.resetDisplay) model.aim = change.resetDisplay;
    return change.result;
  });
  ShowAimDpi();
}

void AdvancedPageView::ReportRate_OnClick(int option) {
  if (option < 1 || option > static_cast<int>(kRates.size())) return;
  // A higher rate restarts the mouse and reads it again, which refills this page.
  performance::SetReportRate(Session(), Context().pageModel.dpi,
                             kRates[static_cast<std::size_t>(option - 1)]);
  ShowReportRate();
}

void AdvancedPageView::PointerBar_OnClick(PointerSetting setting, int segment) {
  performance::ClickPointerBar(Context().pointerStore, pointer_, setting, segment);
  ShowPointerBars();
}

// ---- showing the page state ----

void AdvancedPageView::ShowDpiLevels() {
  const performance::DpiPageState& dpi = Context().pageModel.dpi;
  const std::optional<int> current = performance::CurrentLevelShown(dpi);
  for (int level = 1; level <= kLevels; ++level) {
    const bool enabled = performance::IsDpiLevelEnabled(dpi, level);
    if (auto* caption = Control<SkinButton>(LevelName("lbl_DPI%1", level))) {
      caption->SetTextColour(enabled ? Context().style.dpiEnabled : Context().style.dpiDisabled);
    }
    EnableBar(Context().controls, LevelName("Img_DPI%1_", level), kSteps, enabled);
    if (auto* marker = Control<SkinPicture>(LevelName("Img_DPI%1", level))) {
      marker->setEnabled(enabled);
      marker->SetPicture(current == level ? QStringLiteral("CbS_E") : QStringLiteral("CbS_D"));
    }
    if (QWidget* target = Control(LevelName("lbl_DPI%1Col", level))) target->setEnabled(enabled);
  }
}

void AdvancedPageView::ShowLevelStep(int level) {
  const performance::DpiPageState& dpi = Context().pageModel.dpi;
  const auto index = static_cast<std::size_t>(level - 1);
  // A level the mouse gave no value keeps what the page showed for it.
  if (!dpi.stepShown[index]) return;
  // Steps 12..14 name no segment and no text: the whole bar, no caption.
  ShowBar(Context().controls, LevelName("Img_DPI%1_", level), kSteps, dpi.DpiLevelStep[index] + 1,
          QStringLiteral("Bar2_D"), QStringLiteral("Bar2_E"));
  SetCaption(Control<QLabel>(LevelName("lbl_DPI%1Value", level)),
             FromUtf8(performance::DpiLevelValueText(Session(), dpi, level)));
}

void AdvancedPageView::ShowLevelColour(int level) {
  const performance::DpiPageState& dpi = Context().pageModel.dpi;
  const model::ColourChannels stored = dpi.levelColour[static_cast<std::size_t>(level - 1)];
  for (const char* name : {"cs_DPI%1Col", "Img_DPI%1Col", "lbl_DPI%1Col"}) {
    if (QWidget* control = Control(LevelName(name, level))) control->setVisible(dpi.coloursShown);
  }
  PaintSwatch(Control(LevelName("cs_DPI%1Col", level)), ShownColour(stored));
  const std::array<std::pair<const char*, std::uint8_t>, 3> channels{
      {{"edt_DPI%1ColR", stored.red},
       {"edt_DPI%1ColG", stored.green},
       {"edt_DPI%1ColB", stored.blue}}};
  for (const auto& [name, value] : channels) {
    if (auto* edit = Control<QLineEdit>(LevelName(name, level))) {
      edit->setText(QString::number(value));
    }
  }
}

void AdvancedPageView::ShowAimDpi() {
  const performance::DpiPageState& dpi = Context().pageModel.dpi;
  ShowBar(Context().controls, QStringLiteral("Img_AIMDPI_"), kSteps, dpi.AimDpiStep,
          QStringLiteral("Bar2_D"), QStringLiteral("Bar2_E"));
  SetCaption(Control<QLabel>(QStringLiteral("lbl_AIMDPIValue")),
             FromUtf8(performance::DpiStepText(Session(), dpi.AimDpiStep - 1)));
}

void AdvancedPageView::ShowReportRate() {
  const performance::DpiPageState& dpi = Context().pageModel.dpi;
  for (std::size_t i = 0; i < kRates.size(); ++i) {
    if (auto* marker = Control<SkinPicture>(QStringLiteral("Img_Rep%1").arg(i + 1))) {
      marker->SetPicture(dpi.checkedReportRate == kRates[i] ? QStringLiteral("RdS_E")
                                                            : QStringLiteral("RdS_D"));
    }
  }
}

void AdvancedPageView::ShowPointerBars() {
  for (const PointerBarNames& bar : kPointerBars) {
    const performance::PointerBarView view = performance::PointerBarOf(pointer_, bar.setting);
    const QString tooltip = FromUtf8(view.tooltip);
    for (int segment = 1; segment <= performance::kPointerBarSteps; ++segment) {
      const auto i = static_cast<std::size_t>(segment - 1);
      if (auto* picture =
              Control<SkinPicture>(QString::fromLatin1(bar.segment) + QString::number(segment))) {
        picture->SetPicture(view.filled[i] ? QStringLiteral("Bar1_E") : QStringLiteral("Bar1_D"));
        picture->setEnabled(view.enabled);
        picture->setToolTip(tooltip);
      }
      if (auto* caption =
              Control<QLabel>(QString::fromLatin1(bar.caption) + QString::number(segment))) {
        caption->setEnabled(view.enabled);
        caption->setToolTip(tooltip);
      }
      for (const char* prefix : {bar.segment, bar.caption}) {
        if (QWidget* control = Control(QString::fromLatin1(prefix) + QString::number(segment))) {
          Dim(control, !view.enabled);
        }
      }
    }
  }
}

}  // namespace corvid::app
