#include "app/pages/pages.h"

namespace corvid::app {
namespace {

constexpr int kMenuItemHeight = 24;

}  // namespace

const std::vector<MenuPanelSpec>& KeyMenuPanels() {
  static const std::vector<MenuPanelSpec> panels{
      {"Pnl_Main",
       {{"Key_Standard", "Str201"},
        {"Key_Special", "Str202"},
        {"Key_Media", "Str203"},
        {"Key_WWW", "Str204"},
        {"Key_MyPC", "Str207"},
        {"Key_Assembly", "Str205"},
        {"Key_Macro", "Str206"}}},
      {"Pnl_Special",
       {{"Key_Fire", "Str230"},
        {"Key_AIM", "Str234"},
        {"Key_Profile", "Str242"},
        {"Key_ReportRate", "Str244"},
        {"Key_LEDMode", "Str246"},
        {"Key_LEDSwitch", "Str241"},
        {"Key_CPI", "Str243"},
        {"Key_CPII", "Str247"},
        {"Key_CPID", "Str248"},
        {"Key_Default", "Str245"}}},
      {"Pnl_FireKey", {{"Key_Fire1", "Str231"}, {"Key_Fire2", "Str232"}, {"Key_Fire3", "Str233"}}},
      {"Pnl_MseKey",
       {{"Key_Left", "Str210"},
        {"Key_Right", "Str211"},
        {"Key_Middle", "Str212"},
        {"Key_B4", "Str213"},
        {"Key_B5", "Str214"}}},
      {"Pnl_Media",
       {{"Key_PlayPause", "Str250"},
        {"Key_Stop", "Str251"},
        {"Key_PreviousTrack", "Str252"},
        {"Key_NextTrack", "Str253"},
        {"Key_VolumePlus", "Str254"},
        {"Key_VolumeMinus", "Str255"},
        {"Key_Mute", "Str256"}}},
      {"Pnl_MyPC",
       {{"Key_Computer", "Str270"},
        {"Key_Calculator", "Str271"},
        {"Key_EMail", "Str272"},
        {"Key_Desktop", "Str273"}}},
      {"Pnl_WWW",
       {{"Key_WWWHome", "Str260"},
        {"Key_WWWSearch", "Str261"},
        {"Key_WWWBack", "Str262"},
        {"Key_WWWForward", "Str263"},
        {"Key_WWWStop", "Str264"},
        {"Key_WWWRefresh", "Str265"},
        {"Key_WWWFavorites", "Str266"}}},
  };
  return panels;
}

void BuildKeyPage(ControlFactory& factory, QWidget* page) {
  factory.Picture(page, QStringLiteral("Img_P1"), {}, SkinPicture::Role::kBackground);
  for (int slot = 1; slot <= 12; ++slot) {
    const QString picture = QStringLiteral("Img_Key%1").arg(slot);
    factory.Picture(page, picture, QStringLiteral("KeyS_01"));
    SkinButton* label =
        factory.Button(page, SkinButton::Type::kC, QStringLiteral("Key%1").arg(slot));
    label->resize(factory.Index().Find(picture)->size());
  }
  // Covers the key labels where they may be looked at but not changed.
  QWidget* cover = factory.Group(page, QStringLiteral("Disable"), {});
  cover->hide();

  // The function menus float above the page; they are closed until a key label is clicked.
  for (const MenuPanelSpec& panel : KeyMenuPanels()) {
    const int height = static_cast<int>(panel.items.size()) * kMenuItemHeight + 4;
    auto* frame = new QFrame(page);
    frame->setObjectName(panel.name);
    factory.Add(frame);
    frame->resize(160, height);
    frame->setAutoFillBackground(true);
    // A thin edge in the skin's accent, so that a menu stands apart from the page beneath.
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette edge = frame->palette();
    edge.setColor(QPalette::WindowText, QColor(0x1f, 0x6f, 0x84));
    frame->setPalette(edge);
    frame->hide();
    int y = 2;
    for (const MenuItemSpec& item : panel.items) {
      SkinButton* button = factory.Button(frame, SkinButton::Type::kPlain, item.name);
      button->setGeometry(2, y, 156, kMenuItemHeight);
      y += kMenuItemHeight;
    }
  }
  struct Arrow {
    const char* name;
    const char* panel;
    const char* item;
  };
  for (const Arrow& arrow :
       {Arrow{"ST_Standard", "Pnl_Main", "Key_Standard"},
        Arrow{"ST_Special", "Pnl_Main", "Key_Special"}, Arrow{"ST_Media", "Pnl_Main", "Key_Media"},
        Arrow{"ST_WWW", "Pnl_Main", "Key_WWW"}, Arrow{"ST_MyPC", "Pnl_Main", "Key_MyPC"},
        Arrow{"ST_Macro", "Pnl_Main", "Key_Macro"}, Arrow{"ST_Fire", "Pnl_Special", "Key_Fire"}}) {
    QWidget* panel = factory.Index().Find(arrow.panel);
    QLabel* label = factory.Caption(panel, arrow.name, QStringLiteral(">>"));
    label->move(panel->width() - 24, factory.Index().Find(arrow.item)->y() + 4);
  }
  QListWidget* macros = factory.List(page, QStringLiteral("LB_Name"), {160, 120});
  macros->hide();
}

void ApplyKeyPageTexts(const ControlIndex& controls, const shell::LanguageFile& texts) {
  for (const MenuPanelSpec& panel : KeyMenuPanels()) {
    for (const MenuItemSpec& item : panel.items) {
      if (auto* button = controls.Get<SkinButton>(item.name)) {
        button->SetCaption(FromUtf8(shell::MenuItemText(texts, item.key)));
        // A screen reader says the function, not the mark in front of it.
        button->setAccessibleName(FromUtf8(texts.Text(item.key)));
      }
    }
  }
}

}  // namespace corvid::app
