#include <QFontMetrics>
#include <algorithm>

#include "app/pages/pages.h"

namespace corvid::app {
namespace {

struct TextButton {
  const char* name;
  const char* key;
};
// The text buttons of the macro page with their caption keys, in the order they stand beside
// the lists: the PC library's under its list, the mouse's under its list, the steps' under theirs.
constexpr std::array<TextButton, 12> kTextButtons{{{"Btn_NewMacro", "Str432"},
                                                   {"Btn_NewName", "Str402"},
                                                   {"Btn_DelPCMacro", "Str433"},
                                                   {"Btn_ImportOne", "Str406"},
                                                   {"Btn_Import", "Str407"},
                                                   {"Btn_ExportOne", "Str404"},
                                                   {"Btn_Export", "Str405"},
                                                   {"Btn_AddMacro", "Str434"},
                                                   {"Btn_DelMacro", "Str433"},
                                                   {"Btn_DevExport", "Str405"},
                                                   {"Btn_Del", "Str408"},
                                                   {"Btn_Insert", "Str409"}}};

constexpr QPoint kTextButtonArea(584, 92);
constexpr QSize kTextButtonSize(95, 24);

constexpr std::array<const char*, 10> kInsertItemKeys{"Str410", "Str411", "Str412", "Str413",
                                                      "Str450", "Str451", "Str452", "Str453",
                                                      "Str456", "Str457"};

void BuildDelayRows(ControlFactory& factory, QWidget* group,
                    const std::array<const char*, 3>& rows) {
  for (const char* row : rows) {
    factory.Picture(group, QStringLiteral("LED_%1").arg(row), QStringLiteral("RdS_D"));
    SkinButton* label =
        factory.Button(group, SkinButton::Type::kPlain, QStringLiteral("IB_%1").arg(row));
    // As wide as the group allows: the Russian captions are long.
    label->resize(group->width() - 16, 20);
  }
}

}  // namespace

void BuildMacroPage(ControlFactory& factory, QWidget* page) {
  factory.Picture(page, QStringLiteral("Img_P4"), {}, SkinPicture::Role::kBackground);
  factory.List(page, QStringLiteral("LB_PCMacroName"), {150, 246});
  factory.List(page, QStringLiteral("LB_MacroName"), {150, 204});
  factory.List(page, QStringLiteral("LB_macro"), {186, 438});
  // No layout key places the text buttons: two columns of six in the page's button area.
  for (std::size_t i = 0; i < kTextButtons.size(); ++i) {
    SkinButton* button = factory.Button(page, SkinButton::Type::kH, kTextButtons[i].name);
    button->setGeometry(
        kTextButtonArea.x() + static_cast<int>(i % 2) * (kTextButtonSize.width() + 4),
        kTextButtonArea.y() + static_cast<int>(i / 2) * (kTextButtonSize.height() + 4),
        kTextButtonSize.width(), kTextButtonSize.height());
  }
  factory.Picture(page, QStringLiteral("Img_Start"), QStringLiteral("MacroS_01"));
  SkinButton* start = factory.Button(page, SkinButton::Type::kStart, QStringLiteral("Btn_Start"));
  start->resize(factory.Index().Find(QStringLiteral("Img_Start"))->size());

  QWidget* delay = factory.Group(page, QStringLiteral("Gb_Delay"), {584, 274, 194, 304});
  BuildDelayRows(factory, delay, {"RecDelay", "DelayTime", "NoDelay"});
  QLineEdit* delayEdit = factory.Edit(delay, QStringLiteral("Edt_Delay"), {50, 20});
  delayEdit->setText(QStringLiteral("50"));

  factory.Picture(page, QStringLiteral("Img_InsertBase"), QStringLiteral("InsertDelayBase"));
  QWidget* insert = factory.Group(page, QStringLiteral("Gb_Insert"), {584, 274, 194, 304});
  insert->hide();
  factory.Index().Find(QStringLiteral("Img_InsertBase"))->hide();
  QComboBox* items = factory.Combo(insert, QStringLiteral("CB_Insert"), {200, 22});
  for (std::size_t i = 0; i < kInsertItemKeys.size(); ++i) items->addItem(QString());
  BuildDelayRows(factory, insert, {"InsertRecDelay", "InsertDelayTime", "InsertNoDelay"});
  factory.Edit(insert, QStringLiteral("Edt_InsertDelay"), {40, 20});
  factory.Caption(insert, QStringLiteral("lbl_Delay"));
  factory.Caption(insert, QStringLiteral("lbl_s_A"));
  for (const char* axis : {"XAxisValue", "YAxisValue", "Repeat"}) {
    factory.Edit(insert, QStringLiteral("edt_%1").arg(axis), {40, 20})->hide();
    factory.Caption(insert, QStringLiteral("lbl_%1").arg(axis))->hide();
  }
  for (const auto& [picture, label, skinName, type] :
       {std::tuple{"Img_InsertStart", "Btn_InsertStart", "MacroS_01", SkinButton::Type::kStart},
        std::tuple{"Img_OK", "Btn_OK", "MacroBtnS_01", SkinButton::Type::kG},
        std::tuple{"Img_Cancel", "Btn_Cancel", "MacroBtnS_01", SkinButton::Type::kG}}) {
    factory.Picture(insert, picture, skinName);
    SkinButton* button = factory.Button(insert, type, label);
    button->resize(factory.Index().Find(picture)->size());
  }
  // Where the recorder cannot hear the whole desktop, the page says so while it records.
  QLabel* notice = factory.Caption(page, QStringLiteral("lbl_RecordSource"));
  notice->setWordWrap(true);
  notice->setGeometry(584, 500, 194, 48);
  notice->hide();
  for (const char* panel : {"Pnl_PCMacro", "Pnl_DevMacro", "Pnl_DevContent"}) {
    auto* frame = new QFrame(page);
    frame->setObjectName(panel);
    factory.Add(frame);
    frame->hide();
  }
}

void ApplyMacroPageTexts(const ControlIndex& controls, const shell::LanguageFile& texts) {
  const auto caption = [&](const char* name, const QString& text) {
    if (auto* button = controls.Get<SkinButton>(name)) button->SetCaption(text);
    if (auto* label = controls.Get<QLabel>(name)) {
      label->setText(text);
      label->adjustSize();
    }
  };
  const auto text = [&](const char* key) { return FromUtf8(texts.Text(key)); };
  for (const TextButton& kind : kTextButtons) caption(kind.name, text(kind.key));
  caption("Btn_Start", text("Str400"));
  caption("Btn_InsertStart", text("Str400"));
  caption("Btn_OK", text("Str420"));
  caption("Btn_Cancel", text("Str422"));
  const QString blanks(7, QLatin1Char(' '));
  caption("IB_InsertRecDelay", blanks + text("Str414"));
  caption("IB_InsertDelayTime", blanks + text("Str415"));
  caption("IB_InsertNoDelay", blanks + text("Str416"));
  // The recording rows have more room to the left of their text than the insert box's.
  const QString fewerBlanks(5, QLatin1Char(' '));
  caption("IB_RecDelay", fewerBlanks + text("Str414"));
  caption("IB_DelayTime", fewerBlanks + text("Str415"));
  caption("IB_NoDelay", fewerBlanks + text("Str416"));
  caption("lbl_Delay", text("Str417"));
  caption("lbl_s_A", text("Str418"));
  caption("lbl_XAxisValue", text("Str454"));
  caption("lbl_YAxisValue", text("Str455"));
  caption("lbl_Repeat", text("Str458"));
  if (auto* items = controls.Get<QComboBox>(QStringLiteral("CB_Insert"))) {
    QFont font = items->font();
    font.setStretch(QFont::Unstretched);
    int longest = 0;
    for (int i = 0; i < static_cast<int>(kInsertItemKeys.size()); ++i) {
      items->setItemText(i, text(kInsertItemKeys[static_cast<std::size_t>(i)]));
      longest = std::max(longest, QFontMetrics(font).horizontalAdvance(items->itemText(i)));
    }
    // The arrow and the frame take about 30 pixels.
    items->setFont(NarrowedToFit(font, longest, items->width() - 30, 75));
  }
}

}  // namespace corvid::app
