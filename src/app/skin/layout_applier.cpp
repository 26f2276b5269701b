#include "app/skin/layout_applier.h"

#include <QLineEdit>
#include <QListWidget>
#include <array>
#include <optional>

#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"

namespace corvid::app {
namespace {

constexpr int kCopies = 5;

// Thrown at the first key that is missing or not a number; caught where the apply starts.
struct BadKey {
  QString key;
};

class Applier {
 public:
  Applier(const shell::LayoutFile& file, std::string section, const ControlIndex& controls)
      : file_(file), section_(std::move(section)), controls_(controls) {}

  int Int(const QString& key) const {
    const std::optional<int> value = file_.IntegerValue(section_, key.toStdString());
    if (!value) throw BadKey{key};
    return *value;
  }
  bool Enabled(const QString& key) const { return Int(key) == 1; }
  QColor Colour(const QString& prefix) const {
    return QColor(Int(prefix + "_R") & 0xFF, Int(prefix + "_G") & 0xFF, Int(prefix + "_B") & 0xFF);
  }
  QPoint Point(const QString& prefix) const { return {Int(prefix + "_X"), Int(prefix + "_Y")}; }

  // Controls the window lacks are passed over: a skin may leave out what its mouse has not.
  QWidget* Control(const QString& name) const { return controls_.Find(name); }

  void Move(const QString& name, QPoint at) const {
    if (QWidget* control = Control(name)) control->move(at);
  }
  void SetVisible(const QString& name, bool visible) const {
    if (QWidget* control = Control(name)) control->setVisible(visible);
  }
  void SetFontSize(const QString& name, int points) const {
    QWidget* control = Control(name);
    if (!control || points <= 0) return;
    QFont font = control->font();
    font.setPointSize(points);
    control->setFont(font);
    if (auto* list = qobject_cast<QListWidget*>(control)) {
      for (int row = 0; row < list->count(); ++row) list->item(row)->setFont(font);
    }
  }
  void SetTextColour(const QString& name, const QColor& colour) const {
    QWidget* control = Control(name);
    if (!control) return;
    if (auto* button = qobject_cast<SkinButton*>(control)) {
      button->SetTextColour(colour);
      return;
    }
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    control->setPalette(palette);
  }
  void SetBackground(const QString& name, const QColor& colour) const {
    QWidget* control = Control(name);
    if (!control) return;
    if (auto* button = qobject_cast<SkinButton*>(control)) {
      button->SetBackground(colour);
      return;
    }
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
  }
  // Text and background of an edit field, with a one-pixel border a little lighter than the
  // background so the field stays visible on a page of the same colour.
  void SetEditColours(const QString& name, const QColor& text, const QColor& back) const {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(name))) {
      const QColor border = QColor::fromRgbF(back.redF() * 0.7 + text.redF() * 0.3,
                                             back.greenF() * 0.7 + text.greenF() * 0.3,
                                             back.blueF() * 0.7 + text.blueF() * 0.3);
      edit->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; border: 1px solid "
                                         "%3; padding: 0 3px; } QLineEdit:focus { border-color: "
                                         "%1; }")
                              .arg(text.name(), back.name(), border.name()));
    }
  }
  QSize PictureSize(const QString& name) const {
    QWidget* control = Control(name);
    return control ? control->size() : QSize();
  }
  // A picture at `at` and its label over it with the picture's size.
  void PlacePair(const QString& picture, const QString& label, QPoint at) const {
    Move(picture, at);
    if (QWidget* control = Control(label)) control->setGeometry(QRect(at, PictureSize(picture)));
  }

 private:
  const shell::LayoutFile& file_;
  std::string section_;
  const ControlIndex& controls_;
};

QString Copy(const char* base, int n) { return QStringLiteral("%1_%2").arg(base).arg(n); }

void ApplyFamilyA(const Applier& a) {
  const int size = a.Int("Size_A");
  const QColor colour = a.Colour("Color_A");
  for (int n = 1; n <= kCopies; ++n) {
    for (const char* label : {"Btn_Reset", "Btn_Exit"}) {
      a.SetFontSize(Copy(label, n), size);
      a.SetTextColour(Copy(label, n), colour);
    }
  }
  const std::array<std::pair<const char*, const char*>, 2> buttons{
      {{"Btn_A3", "Reset"}, {"Btn_A4", "Exit"}}};
  for (const auto& [key, name] : buttons) {
    const bool on = a.Enabled(QStringLiteral("%1_Enable").arg(key));
    const QPoint at = on ? a.Point(key) : QPoint();
    for (int n = 1; n <= kCopies; ++n) {
      const QString picture = QStringLiteral("Img_%1_%2").arg(name).arg(n);
      const QString label = QStringLiteral("Btn_%1_%2").arg(name).arg(n);
      if (on) a.PlacePair(picture, label, at);
      a.SetVisible(picture, on);
      a.SetVisible(label, on);
    }
  }
}

struct TypeBButton {
  int k;
  const char* name;
};
// In the order the layout text lists them.
constexpr std::array<TypeBButton, 12> kTypeBButtons{{{1, "Main"},
                                                     {2, "Switch"},
                                                     {3, "Fixed"},
                                                     {4, "Adv"},
                                                     {5, "Breath"},
                                                     {11, "Macro"},
                                                     {12, "Update"},
                                                     {6, "Save"},
                                                     {7, "Load"},
                                                     {8, "Lang1"},
                                                     {9, "Lang2"},
                                                     {10, "Lang3"}}};

void ApplyFamilyB(const Applier& a, bool updateAvailable, LayoutStyle& style) {
  const int size = a.Int("Size_B");
  const QColor colour = a.Colour("Color_B");
  for (const TypeBButton& button : kTypeBButtons) {
    for (int n = 1; n <= kCopies; ++n) {
      const QString label = QStringLiteral("Btn_%1_%2").arg(button.name).arg(n);
      // The Update buttons keep their built-in font.
      if (button.k != 12) a.SetFontSize(label, size);
      a.SetTextColour(label, colour);
    }
  }
  style.buttonSpaceFront = a.Int("Btn_Space_F");
  style.buttonSpaceBack = a.Int("Btn_Space_B");
  for (const TypeBButton& button : kTypeBButtons) {
    const QString key = QStringLiteral("Btn_B%1").arg(button.k);
    const bool on = a.Enabled(key + "_Enable");
    const QPoint at = on ? a.Point(key) : QPoint();
    const bool shown = on && (button.k != 12 || updateAvailable);
    for (int n = 1; n <= kCopies; ++n) {
      const QString picture = QStringLiteral("Img_%1_%2").arg(button.name).arg(n);
      const QString label = QStringLiteral("Btn_%1_%2").arg(button.name).arg(n);
      if (on) {
        a.Move(picture, at);
        const QSize size = a.PictureSize(picture);
        if (QWidget* control = a.Control(label)) {
          // The pictures have irregular ends; the label covers the part between the margins.
          control->setGeometry(at.x() + style.buttonSpaceFront, at.y(),
                               size.width() - style.buttonSpaceFront - style.buttonSpaceBack,
                               size.height());
        }
      }
      a.SetVisible(picture, shown);
      a.SetVisible(label, shown);
    }
  }
}

}  // namespace

int KeySlotOfPosition(const std::string& ledType, int position) {
  static constexpr std::array<int, 12> kRgb{1, 5, 9, 10, 11, 6, 7, 8, 12, 2, 3, 4};
  static constexpr std::array<int, 12> kZk{1, 5, 9, 3, 7, 11, 2, 6, 10, 8, 12, 4};
  if (position < 1 || position > 12) return 0;
  if (ledType == "RGB") return kRgb[position - 1];
  if (ledType == "ZK") return kZk[position - 1];
  switch (position) {
    case 1:
      return 1;
    case 2:
      return 5;
    case 3:
      return 9;
    case 12:
      return 4;
    default:
      return 0;
  }
}

namespace {

void ApplyFamilyC(const Applier& a, const std::string& ledType) {
  const int size = a.Int("Size_C");
  const QColor colour = a.Colour("Color_C");
  for (int slot = 1; slot <= 12; ++slot) {
    a.SetFontSize(QStringLiteral("Key%1").arg(slot), size);
    a.SetTextColour(QStringLiteral("Key%1").arg(slot), colour);
  }
  a.Move("Img_P1", a.Point("P1"));
  for (int position = 1; position <= 12; ++position) {
    const int slot = KeySlotOfPosition(ledType, position);
    if (slot == 0) continue;  // the control keeps its built-in place
    const QString key = QStringLiteral("Key%1").arg(position);
    const bool on = a.Enabled(key + "_Enable");
    const QString picture = QStringLiteral("Img_Key%1").arg(slot);
    const QString label = QStringLiteral("Key%1").arg(slot);
    if (on) a.PlacePair(picture, label, a.Point(key));
    a.SetVisible(picture, on);
    a.SetVisible(label, on);
  }
  if (QWidget* cover = a.Control("Disable")) {
    cover->setGeometry(a.Int("Disable_X"), a.Int("Disable_Y"), a.Int("Disable_W"),
                       a.Int("Disable_H"));
  }
}

struct MenuPanel {
  const char* name;
  std::vector<const char*> items;
};

const std::vector<MenuPanel>& MenuPanels() {
  static const std::vector<MenuPanel> panels{
      {"Pnl_Main",
       {"Key_Standard", "Key_Special", "Key_Media", "Key_WWW", "Key_MyPC", "Key_Assembly",
        "Key_Macro"}},
      {"Pnl_Special",
       {"Key_Fire", "Key_AIM", "Key_Profile", "Key_ReportRate", "Key_LEDMode", "Key_LEDSwitch",
        "Key_CPI", "Key_CPII", "Key_CPID", "Key_Default"}},
      {"Pnl_FireKey", {"Key_Fire1", "Key_Fire2", "Key_Fire3"}},
      {"Pnl_MseKey", {"Key_Left", "Key_Right", "Key_Middle", "Key_B4", "Key_B5"}},
      {"Pnl_Media",
       {"Key_PlayPause", "Key_Stop", "Key_PreviousTrack", "Key_NextTrack", "Key_VolumePlus",
        "Key_VolumeMinus", "Key_Mute"}},
      {"Pnl_MyPC", {"Key_Computer", "Key_Calculator", "Key_EMail", "Key_Desktop"}},
      {"Pnl_WWW",
       {"Key_WWWHome", "Key_WWWSearch", "Key_WWWBack", "Key_WWWForward", "Key_WWWStop",
        "Key_WWWRefresh", "Key_WWWFavorites"}},
  };
  return panels;
}

constexpr std::array<const char*, 7> kMenuArrows{"ST_Standard", "ST_Special", "ST_Media", "ST_WWW",
                                                 "ST_MyPC",     "ST_Macro",   "ST_Fire"};

void SetWidth(const Applier& a, const QString& name, int width) {
  if (QWidget* control = a.Control(name)) control->resize(width, control->height());
}

void ApplyFamilyG(const Applier& a, LayoutStyle& style) {
  const int size = a.Int("Size_G");
  for (const MenuPanel& panel : MenuPanels()) {
    for (const char* item : panel.items) a.SetFontSize(item, size);
  }
  a.SetFontSize("LB_Name", size);
  for (const char* arrow : kMenuArrows) a.SetFontSize(arrow, size + 2);

  style.menuText = a.Colour("Color_G");
  for (const MenuPanel& panel : MenuPanels()) {
    for (const char* item : panel.items) a.SetTextColour(item, style.menuText);
  }
  for (const char* arrow : kMenuArrows) a.SetTextColour(arrow, style.menuText);
  a.SetTextColour("LB_Name", style.menuText);

  style.menuBack = a.Colour("Color_G_Back");
  for (const MenuPanel& panel : MenuPanels()) {
    a.SetBackground(panel.name, style.menuBack);
    for (const char* item : panel.items) a.SetBackground(item, style.menuBack);
  }
  a.SetBackground("LB_Name", style.menuBack);
  style.menuHoverText = a.Colour("Color_G_SF");
  style.menuHoverBack = a.Colour("Color_G_SP");

  const int mainWidth = a.Int("M_L_W");
  SetWidth(a, "Pnl_Main", mainWidth);
  for (const char* item : MenuPanels()[0].items) SetWidth(a, item, mainWidth - 4);
  for (std::size_t i = 0; i + 1 < kMenuArrows.size(); ++i) {
    if (QWidget* arrow = a.Control(kMenuArrows[i])) arrow->move(mainWidth - 24, arrow->y());
  }
  const int specialWidth = a.Int("SP_L_W");
  SetWidth(a, "Pnl_Special", specialWidth);
  for (const char* item : MenuPanels()[1].items) SetWidth(a, item, specialWidth - 4);
  if (QWidget* arrow = a.Control("ST_Fire")) arrow->move(specialWidth - 24, arrow->y());
  const int otherWidth = a.Int("O_L_W");
  for (std::size_t p = 2; p < MenuPanels().size(); ++p) {
    SetWidth(a, MenuPanels()[p].name, otherWidth);
    for (const char* item : MenuPanels()[p].items) SetWidth(a, item, otherWidth - 4);
  }
  SetWidth(a, "LB_Name", otherWidth);
}

// A bar of ten segments from (x, y) to the right, each scale caption under its segment.
void PlaceTenStepBar(const Applier& a, const QString& bar, const QString& caption, QPoint at) {
  const int width = a.PictureSize(bar + "1").width();
  for (int i = 1; i <= 10; ++i) {
    const int x = at.x() + (i - 1) * width;
    a.Move(bar + QString::number(i), {x, at.y()});
    a.Move(caption + QString::number(i), {x - 4, at.y() + 8});
  }
}

void PlaceTwelveStepBar(const Applier& a, const QString& segmentPrefix, QPoint at,
                        int orientation) {
  const QSize size = a.PictureSize(segmentPrefix + "1");
  for (int k = 1; k <= 12; ++k) {
    const QString segment = segmentPrefix + QString::number(k);
    if (orientation == 0) a.Move(segment, {at.x(), at.y() - (k - 1) * size.height()});
    if (orientation == 1) a.Move(segment, {at.x() + (k - 1) * size.width(), at.y()});
  }
}

void ApplyFamilyD(const Applier& a, LayoutStyle& style) {
  const int size = a.Int("Size_D");
  for (const char* scale : {"lbl_Spd", "lbl_DbSpd", "lbl_ScrSpd"}) {
    for (int i = 1; i <= 10; ++i) a.SetFontSize(scale + QString::number(i), size);
  }
  for (int n = 1; n <= 4; ++n) {
    a.SetFontSize(QStringLiteral("lbl_DPI%1Value").arg(n), size);
    a.SetFontSize(QStringLiteral("lbl_DPI%1").arg(n), size + 1);
  }
  style.dpiEnabled = a.Colour("Color_D_Selected");
  style.dpiDisabled = a.Colour("Color_D_notSelected");
  for (const char* scale : {"lbl_Spd", "lbl_DbSpd", "lbl_ScrSpd"}) {
    for (int i = 1; i <= 10; ++i) a.SetTextColour(scale + QString::number(i), style.dpiDisabled);
  }
  for (int n = 1; n <= 4; ++n) {
    a.SetTextColour(QStringLiteral("lbl_DPI%1Value").arg(n), style.dpiDisabled);
  }
  const QColor back = a.Colour("Color_D_Back");
  // The three fire keys' fields look alike.
  for (int i = 1; i <= 3; ++i) {
    a.SetEditColours(QStringLiteral("Edt_Repeat%1").arg(i), style.dpiDisabled, back);
    a.SetEditColours(QStringLiteral("Edt_DelayTime%1").arg(i), style.dpiDisabled, back);
  }
  a.Move("Img_P2", a.Point("P2"));
  for (int i = 1; i <= 3; ++i) {
    a.Move(QStringLiteral("Edt_Repeat%1").arg(i), a.Point(QStringLiteral("FK%1Cnt").arg(i)));
    a.Move(QStringLiteral("Edt_DelayTime%1").arg(i), a.Point(QStringLiteral("FK%1Delay").arg(i)));
    const QPoint at = a.Point(QStringLiteral("FK%1Continue").arg(i));
    a.Move(QStringLiteral("Img_Fire%1Continue").arg(i), at);
    a.Move(QStringLiteral("lbl_Fire%1Continue").arg(i), at - QPoint(2, 0));
  }
  for (int r = 1; r <= 4; ++r) {
    const QPoint at = a.Point(QStringLiteral("Rep%1").arg(r));
    a.Move(QStringLiteral("Img_Rep%1").arg(r), at);
    a.Move(QStringLiteral("lbl_Rep%1").arg(r), at - QPoint(4, 2));
  }
  PlaceTenStepBar(a, "Img_Spd", "lbl_Spd", a.Point("Spd"));
  PlaceTenStepBar(a, "Img_DbSpd", "lbl_DbSpd", a.Point("DbSpd"));
  PlaceTenStepBar(a, "Img_ScrSpd", "lbl_ScrSpd", a.Point("ScrSpd"));
  style.dpiOrientation = a.Int("DPI_Orientation");
  for (int n = 1; n <= 8; ++n) {
    const QString level = QStringLiteral("DPI%1").arg(n);
    const QPoint colourAt = a.Point(level + "_Color");
    const QString frame = QStringLiteral("Img_DPI%1Col").arg(n);
    a.Move(frame, colourAt);
    for (const QString& over :
         {QStringLiteral("cs_DPI%1Col").arg(n), QStringLiteral("lbl_DPI%1Col").arg(n)}) {
      if (QWidget* control = a.Control(over)) {
        control->setGeometry(QRect(colourAt, a.PictureSize(frame)));
      }
    }
    a.Move(QStringLiteral("Img_DPI%1").arg(n), a.Point(level + "_Check"));
    a.Move(QStringLiteral("lbl_DPI%1").arg(n), a.Point(level));
    a.Move(QStringLiteral("lbl_DPI%1Value").arg(n), a.Point(level + "_Value"));
    PlaceTwelveStepBar(a, QStringLiteral("Img_DPI%1_").arg(n), a.Point(level + "_Steps"),
                       style.dpiOrientation);
  }
  a.Move("lbl_AIMDPI", a.Point("AIMDPI"));
  a.Move("lbl_AIMDPIValue", a.Point("AIMDPI_Value"));
  PlaceTwelveStepBar(a, "Img_AIMDPI_", a.Point("AIMDPI_Steps"), style.dpiOrientation);
}

void ApplyFamilyE(const Applier& a) {
  const int size = a.Int("Size_E");
  const QColor colour = a.Colour("Color_E");
  for (int i = 1; i <= 10; ++i) {
    a.SetFontSize(QStringLiteral("lbl_Fall%1").arg(i), size);
    a.SetTextColour(QStringLiteral("lbl_Fall%1").arg(i), colour);
  }
  for (int n = 1; n <= 7; ++n) {
    for (const char* channel : {"R", "G", "B"}) {
      a.SetTextColour(QStringLiteral("Edt_Col%1%2").arg(n).arg(channel), colour);
    }
  }
  a.Move("Img_P3", a.Point("P3"));
  PlaceTenStepBar(a, "Img_Fall", "lbl_Fall", a.Point("StepTime"));
  const QPoint off = a.Point("LEDOff");
  a.Move("Img_Off", off);
  a.Move("lbl_Off", off - QPoint(4, 2));
  for (int m = 1; m <= 5; ++m) {
    const QPoint at = a.Point(QStringLiteral("LEDMode%1").arg(m));
    a.Move(QStringLiteral("Img_LED%1").arg(m), at);
    a.Move(QStringLiteral("lbl_LED%1").arg(m), at - QPoint(4, 2));
  }
  for (int n = 1; n <= 7; ++n) {
    const QPoint at = a.Point(QStringLiteral("LEDColor%1").arg(n));
    const QString frame = QStringLiteral("Img_Col%1").arg(n);
    a.Move(frame, at);
    for (const QString& over :
         {QStringLiteral("cs_Col%1").arg(n), QStringLiteral("lbl_Col%1").arg(n)}) {
      if (QWidget* control = a.Control(over)) control->setGeometry(QRect(at, a.PictureSize(frame)));
    }
  }
}

constexpr std::array<const char*, 12> kTypeHButtons{
    "Btn_NewMacro",  "Btn_ImportOne", "Btn_Export",     "Btn_Import",
    "Btn_ExportOne", "Btn_NewName",   "Btn_DelPCMacro", "Btn_AddMacro",
    "Btn_Del",       "Btn_Insert",    "Btn_DelMacro",   "Btn_DevExport"};

void ApplyFamilyF(const Applier& a, LayoutStyle& style) {
  const int size = a.Int("Size_F");
  for (const char* name :
       {"Btn_Start",      "LB_PCMacroName",    "Btn_NewMacro",       "Btn_ImportOne",
        "Btn_Export",     "Btn_Import",        "Btn_ExportOne",      "Btn_NewName",
        "Btn_DelPCMacro", "Btn_AddMacro",      "Btn_DelMacro",       "Btn_DevExport",
        "Btn_Del",        "Btn_Insert",        "LB_MacroName",       "Edt_Delay",
        "CB_Insert",      "IB_InsertRecDelay", "IB_InsertDelayTime", "IB_InsertNoDelay",
        "lbl_Delay",      "lbl_s_A",           "Edt_InsertDelay",    "Btn_InsertStart",
        "Btn_OK",         "Btn_Cancel"}) {
    a.SetFontSize(name, size);
  }
  const QColor colour = a.Colour("Color_F");
  for (const char* name :
       {"Btn_Start", "CB_Insert", "IB_InsertRecDelay", "IB_InsertDelayTime", "IB_InsertNoDelay",
        "lbl_Delay", "lbl_s_A", "Btn_InsertStart", "Btn_OK", "Btn_Cancel"}) {
    a.SetTextColour(name, colour);
  }
  style.macroText = a.Colour("Color_F_Font");
  style.macroBack = a.Colour("Color_F_Back");
  for (const char* list : {"LB_PCMacroName", "LB_MacroName", "LB_macro"}) {
    a.SetTextColour(list, style.macroText);
    a.SetBackground(list, style.macroBack);
  }
  for (const char* button : kTypeHButtons) {
    a.SetTextColour(button, style.macroText);
    a.SetBackground(button, style.macroBack);
  }
  for (const char* edit : {"Edt_Delay", "Edt_InsertDelay"}) {
    a.SetEditColours(edit, style.macroText, style.macroBack);
  }
  a.Move("Img_P4", a.Point("P4"));
  a.Move("LB_PCMacroName", a.Point("PCMacroName"));
  a.Move("LB_MacroName", a.Point("MseMacroName"));
  style.macroNameHeight = a.Int("MacroNameHeight");
  a.Move("LB_macro", a.Point("MacroContent"));
  a.PlacePair("Img_Start", "Btn_Start", a.Point("BtnStart"));
  a.Move("Gb_Delay", a.Point("DelayTime"));
  {
    const QPoint at = a.Point("RecDelay");
    const int rowHeight = a.Int("RecDelay_H");
    const std::array<const char*, 3> rows{"RecDelay", "DelayTime", "NoDelay"};
    for (int j = 0; j < 3; ++j) {
      a.Move(QStringLiteral("LED_%1").arg(rows[j]), {at.x(), at.y() + j * rowHeight});
      a.Move(QStringLiteral("IB_%1").arg(rows[j]), {at.x() - 2, at.y() + j * rowHeight});
    }
  }
  a.Move("Edt_Delay", a.Point("DelayEdit"));
  const QPoint insertAt = a.Point("Insert");
  a.Move("Gb_Insert", insertAt);
  a.Move("Img_InsertBase", insertAt);
  if (QWidget* list = a.Control("CB_Insert")) {
    const QPoint at = a.Point("InsertList");
    list->setGeometry(at.x(), at.y(), a.Int("InsertList_W"), list->height());
  }
  {
    const QPoint at = a.Point("InsertRecDelay");
    const int rowHeight = a.Int("InsertRecDelay_H");
    const std::array<const char*, 3> rows{"InsertRecDelay", "InsertDelayTime", "InsertNoDelay"};
    for (int j = 0; j < 3; ++j) {
      a.Move(QStringLiteral("LED_%1").arg(rows[j]), {at.x(), at.y() + j * rowHeight});
      a.Move(QStringLiteral("IB_%1").arg(rows[j]), {at.x() - 2, at.y() + j * rowHeight});
    }
  }
  {
    const QPoint at = a.Point("InsertDelayEdit");
    a.Move("Edt_InsertDelay", at);
    a.Move("lbl_Delay", at + QPoint(-74, 2));
    a.Move("lbl_s_A", at + QPoint(44, 2));
  }
  {
    const QPoint at = a.Point("InsertAxisEdit");
    for (const char* edit : {"edt_XAxisValue", "edt_YAxisValue", "edt_Repeat"}) a.Move(edit, at);
    for (const char* label : {"lbl_XAxisValue", "lbl_YAxisValue", "lbl_Repeat"}) {
      a.Move(label, at + QPoint(-74, 2));
    }
  }
  a.PlacePair("Img_InsertStart", "Btn_InsertStart", a.Point("InsertBtnStart"));
  a.PlacePair("Img_OK", "Btn_OK", a.Point("InsertBtnOK"));
  a.PlacePair("Img_Cancel", "Btn_Cancel", a.Point("InsertBtnCancel"));
}

void ApplyFamilyI(const Applier& a) {
  const int size = a.Int("Size_I");
  a.SetFontSize("Btn_LoadBIN", size);
  a.SetFontSize("Btn_Program", size);
  a.SetFontSize("lbl_LoadBIN", size + 2);
  const QColor colour = a.Colour("Color_I");
  for (const char* name : {"lbl_LoadBIN", "Btn_LoadBIN", "Btn_Program"}) {
    a.SetTextColour(name, colour);
  }
  a.Move("Img_P5", a.Point("P5"));
  a.Move("lbl_BINPath", a.Point("lbl_BINPath"));
  a.Move("lbl_LoadBIN", a.Point("lbl_LoadBin"));
  a.PlacePair("Img_LoadBIN", "Btn_LoadBIN", a.Point("Btn_LoadBin"));
  a.PlacePair("Img_Program", "Btn_Program", a.Point("Btn_Program"));
}

}  // namespace

LayoutApplyResult ApplyLayoutSection(const shell::LayoutFile& file, int language,
                                     const std::string& ledType, bool updateAvailable,
                                     const ControlIndex& controls, LayoutStyle& style) {
  const Applier applier(file, "org" + std::to_string(language), controls);
  try {
    ApplyFamilyA(applier);
    ApplyFamilyB(applier, updateAvailable, style);
    ApplyFamilyC(applier, ledType);
    ApplyFamilyG(applier, style);
    ApplyFamilyD(applier, style);
    ApplyFamilyE(applier);
    ApplyFamilyF(applier, style);
    ApplyFamilyI(applier);
  } catch (const BadKey& bad) {
    return {false, bad.key};
  }
  return {};
}

}  // namespace corvid::app
