#include "app/pages/key_page_view.h"

#include <QKeyEvent>
#include <QListWidget>
#include <algorithm>

#include "app/dialogs/assembly_key_dialog.h"
#include "app/pages/pages.h"
#include "app/skin/skin_button.h"
#include "keys/key_assignment.h"
#include "keys/key_layers.h"

namespace corvid::app {
namespace {

// The items that open a panel, and the panel they open.
struct Submenu {
  const char* item;
  const char* panel;
};
constexpr std::array<Submenu, 7> kSubmenus{{{"Key_Standard", "Pnl_MseKey"},
                                            {"Key_Special", "Pnl_Special"},
                                            {"Key_Media", "Pnl_Media"},
                                            {"Key_WWW", "Pnl_WWW"},
                                            {"Key_MyPC", "Pnl_MyPC"},
                                            {"Key_Macro", "LB_Name"},
                                            {"Key_Fire", "Pnl_FireKey"}}};

const char* SubmenuOf(const QWidget* item) {
  for (const Submenu& submenu : kSubmenus) {
    if (item->objectName() == QLatin1String(submenu.item)) return submenu.panel;
  }
  return nullptr;
}

QString LabelName(int slot) { return QStringLiteral("Key%1").arg(slot); }

// 7 for "Key7"; 0 for any other name.
int SlotOfLabel(const QObject* object) {
  const QString name = object->objectName();
  if (!name.startsWith(QLatin1String("Key"))) return 0;
  bool number = false;
  const int slot = name.mid(3).toInt(&number);
  return number && slot >= 1 && slot <= 12 ? slot : 0;
}

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

void KeyPageView::Connect() {
  for (int slot = 1; slot <= 12; ++slot) {
    auto* label = Control<SkinButton>(LabelName(slot));
    label->installEventFilter(this);
    connect(label, &SkinButton::clicked, this, [this, slot] { OpenRootMenu(slot, false); });
  }
  for (const MenuPanelSpec& panel : KeyMenuPanels()) {
    QWidget* frame = Control(QString::fromLatin1(panel.name));
    frame->setFocusPolicy(Qt::ClickFocus);
    frame->installEventFilter(this);
    for (const MenuItemSpec& kind : panel.items) {
      auto* item = Control<SkinButton>(QString::fromLatin1(kind.name));
      item->installEventFilter(this);
      connect(item, &SkinButton::Entered, this, [this, item] { PointAt(item); });
      // The window puts the normal colours back when the pointer leaves; the item the menu is
      // at keeps its highlight.
      connect(item, &SkinButton::Left, this, [this, item] {
        const int level = LevelOf(item->parentWidget());
        if (level >= 0 && open_[static_cast<std::size_t>(level)].item == item) {
          Highlight(level, item);
        }
      });
      if (SubmenuOf(item)) {
        connect(item, &SkinButton::clicked, this, [this, item] { OpenSubmenu(item, true); });
      } else if (item->objectName() == QLatin1String("Key_Assembly")) {
        connect(item, &SkinButton::clicked, this, &KeyPageView::OpenAssemblyDialog);
      } else {
        for (const model::FunctionMenuItem& function : model::FunctionMenuItems()) {
          if (item->objectName() != FromUtf8(function.component)) continue;
          connect(item, &SkinButton::clicked, this,
                  [this, tag = function.tag] { ChooseFunction(tag); });
        }
      }
    }
  }
  auto* macros = Control<QListWidget>(QStringLiteral("LB_Name"));
  macros->installEventFilter(this);
  connect(macros, &QListWidget::itemClicked, this,
          [this, macros](QListWidgetItem* item) { BindMacroAt(macros->row(item)); });
  // Offered once Main Control is entered with a mouse.
  Control(QStringLiteral("Key_Profile"))->setEnabled(false);
}

void KeyPageView::ApplyTexts(const shell::LanguageFile& texts) {
  // The key labels were taken again in the new language from the mouse's codes when the session
  // changed its language (LanguageChanged), so no caption needs looking up here.
  ApplyKeyPageTexts(Context().controls, texts);
}

void KeyPageView::Refresh() { ShowKeyCaptions(); }

void KeyPageView::ResetForNoDevice() {
  CloseMenus();
  if (dialog_) dialog_->close();
  Control(QStringLiteral("Key_Profile"))->setEnabled(false);
}

void KeyPageView::EnterLayer(const keys::LayerEntry& entry) {
  CloseMenus();
  pages::PageModel& model = Context().pageModel;
  model.key = entry.page;
  // The fire fields and the aim display show the settings of the layer on show.
  model.fire = keys::WithFireFieldLoad(model.fire, entry.fireFields);
  if (entry.aimDisplay) {
    model.aim = entry.aimDisplay;
    model.dpi.AimDpiStep = entry.aimDisplay->aimNumber;
  }
  for (int slot = 1; slot <= 12; ++slot) Control(LabelName(slot))->setEnabled(entry.labelsEnabled);
  Control(QStringLiteral("Key_Profile"))->setEnabled(entry.kbSwitchItemEnabled);
  // The Fixed Control layer is shown under its cover: it can be looked at, not changed.
  Control(QStringLiteral("Disable"))->setVisible(!entry.labelsEnabled);
  ShowKeyCaptions();
}

void KeyPageView::SetMacroBindingOffered(bool offered) {
  macroBindingOffered_ = offered;
  // The root menu ends above its macro entry on a mouse that cannot play macros.
  Control(QStringLiteral("Key_Macro"))->setVisible(offered);
  Control(QStringLiteral("ST_Macro"))->setVisible(offered);
  QWidget* menu = Control(QStringLiteral("Pnl_Main"));
  const QWidget* last =
      Control(offered ? QStringLiteral("Key_Macro") : QStringLiteral("Key_Assembly"));
  menu->resize(menu->width(), last->geometry().bottom() + 3);
  if (!offered) Control(QStringLiteral("LB_Name"))->hide();
}

void KeyPageView::ShowKeyCaptions() {
  for (int slot = 1; slot <= 12; ++slot) {
    ShowSlotCaption(slot, Context().pageModel.key.captions[static_cast<std::size_t>(slot - 1)]);
  }
}

void KeyPageView::ShowSlotCaption(int slot, const std::string& caption) {
  Context().pageModel.key.captions[static_cast<std::size_t>(slot - 1)] = caption;
  auto* label = Control<SkinButton>(LabelName(slot));
  label->SetCaption(FromUtf8(caption));
  // A button without a function still has a name a screen reader can say.
  if (label->Caption().isEmpty()) label->setAccessibleName(QStringLiteral("Button %1").arg(slot));
}

// ---- the menus ----

int KeyPageView::LevelOf(const QWidget* panel) const {
  for (std::size_t level = 0; level < open_.size(); ++level) {
    if (open_[level].panel == panel) return static_cast<int>(level);
  }
  return -1;
}

void KeyPageView::Highlight(int level, SkinButton* item) {
  MenuLevel& open = open_[static_cast<std::size_t>(level)];
  if (open.item && open.item != item) {
    open.item->SetTextColour(Context().style.menuText);
    open.item->SetBackground(Context().style.menuBack);
  }
  open.item = item;
  if (!item) return;
  item->SetTextColour(Context().style.menuHoverText);
  item->SetBackground(Context().style.menuHoverBack);
  if (!item->hasFocus()) item->setFocus(Qt::OtherFocusReason);
}

void KeyPageView::CloseMenusFrom(int level) {
  while (static_cast<int>(open_.size()) > std::max(level, 0)) {
    MenuLevel& open = open_.back();
    if (open.item) {
      open.item->SetTextColour(Context().style.menuText);
      open.item->SetBackground(Context().style.menuBack);
    }
    open.panel->hide();
    open_.pop_back();
  }
}

void KeyPageView::CloseMenus() {
  CloseMenusFrom(0);
  // A click on the page background closes them behind this view's back; make sure all are shut.
  for (const MenuPanelSpec& panel : KeyMenuPanels())
    Control(QString::fromLatin1(panel.name))->hide();
  Control(QStringLiteral("LB_Name"))->hide();
}

void KeyPageView::OpenRootMenu(int slot, bool byKeyboard) {
  auto* label = Control<SkinButton>(LabelName(slot));
  if (!label->isEnabled()) return;
  selectedSlot_ = slot;
  // The label stops running its caption and shows its resting picture while the menu is open.
  emit label->Left();
  CloseMenus();

  QWidget* menu = Control(QStringLiteral("Pnl_Main"));
  const QSize area = menu->parentWidget()->size();
  const QRect at = label->geometry();
  QPoint corner = at.center();
  if (at.right() + 1 + menu->width() >= area.width()) corner.rx() -= menu->width();
  if (at.bottom() + 1 + menu->height() >= area.height()) corner.ry() -= menu->height();
  corner.setX(std::clamp(corner.x(), 0, area.width() - menu->width()));
  corner.setY(std::clamp(corner.y(), 0, area.height() - menu->height()));
  menu->move(corner);

  // The Special panel and its Fire Key panel open on the side with room for both.
  const int cascade = Control(QStringLiteral("Pnl_Special"))->width() +
                      Control(QStringLiteral("Pnl_FireKey"))->width();
  const int roomRight = area.width() - (corner.x() + menu->width());
  cascadeLeft_ = roomRight < cascade && corner.x() > roomRight;

  menu->show();
  menu->raise();
  open_.push_back({menu, nullptr});
  if (byKeyboard) {
    Highlight(0, Control<SkinButton>(QStringLiteral("Key_Standard")));
  } else {
    menu->setFocus(Qt::OtherFocusReason);
  }
}

void KeyPageView::PointAt(SkinButton* item) {
  const int level = LevelOf(item->parentWidget());
  if (level < 0 || item->isHidden()) return;
  Highlight(level, item);
  if (SubmenuOf(item)) {
    OpenSubmenu(item, false);
  } else {
    // The assembly item and the plain functions of the Special panel close what lies beyond.
    CloseMenusFrom(level + 1);
  }
}

void KeyPageView::OpenSubmenu(SkinButton* item, bool byKeyboard) {
  const int level = LevelOf(item->parentWidget());
  const char* panelName = SubmenuOf(item);
  if (level < 0 || !panelName || !item->isEnabled()) return;
  Highlight(level, item);
  CloseMenusFrom(level + 1);

  QWidget* panel = Control(QString::fromLatin1(panelName));
  if (auto* list = qobject_cast<QListWidget*>(panel)) {
    // The macros the mouse holds now; nothing to open without one.
    const macros::DeviceMacros& macros = Session().Macros();
    if (!macroBindingOffered_ || macros.MacroCount() == 0) return;
    list->clear();
    for (int i = 0; i < macros.MacroCount(); ++i) list->addItem(FromUtf8(macros.MacroName(i)));
    const int rowHeight = std::max(list->sizeHintForRow(0), 16);
    list->resize(list->width(), std::min(macros.MacroCount(), 12) * rowHeight + 4);
  }

  const QWidget* parent = item->parentWidget();
  const QSize area = parent->parentWidget()->size();
  int x = cascadeLeft_ ? parent->x() - panel->width() : parent->x() + parent->width();
  int y = parent->y() + item->y();
  if (y + panel->height() > area.height())
    y = parent->y() + item->geometry().bottom() + 1 - panel->height();
  x = std::clamp(x, 0, area.width() - panel->width());
  y = std::clamp(y, 0, area.height() - panel->height());
  panel->move(x, y);
  panel->show();
  panel->raise();
  open_.push_back({panel, nullptr});
  if (!byKeyboard) return;
  if (auto* list = qobject_cast<QListWidget*>(panel)) {
    list->setCurrentRow(0);
    list->setFocus(Qt::OtherFocusReason);
  } else {
    MoveInPanel(level + 1, 1);
  }
}

void KeyPageView::MoveInPanel(int level, int step) {
  const MenuLevel& open = open_[static_cast<std::size_t>(level)];
  std::vector<SkinButton*> items;
  for (const MenuPanelSpec& panel : KeyMenuPanels()) {
    if (open.panel->objectName() != QLatin1String(panel.name)) continue;
    for (const MenuItemSpec& kind : panel.items) {
      auto* item = Control<SkinButton>(QString::fromLatin1(kind.name));
      if (!item->isHidden() && item->isEnabled()) items.push_back(item);
    }
  }
  if (items.empty()) return;
  const auto at = std::find(items.begin(), items.end(), open.item);
  const auto count = static_cast<int>(items.size());
  int index = at == items.end() ? (step > 0 ? -1 : count) : static_cast<int>(at - items.begin());
  index = (index + step + count) % count;
  CloseMenusFrom(level + 1);
  Highlight(level, items[static_cast<std::size_t>(index)]);
}

void KeyPageView::FocusSelectedLabel() {
  if (selectedSlot_ < 1) return;
  QWidget* label = Control(LabelName(selectedSlot_));
  if (label->isVisible() && label->isEnabled()) label->setFocus(Qt::OtherFocusReason);
}

bool KeyPageView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return PageView::eventFilter(watched, event);
  const int key = static_cast<const QKeyEvent*>(event)->key();

  if (const int slot = SlotOfLabel(watched); slot > 0 && qobject_cast<SkinButton*>(watched)) {
    if (IsEnterKey(key) || key == Qt::Key_Space || key == Qt::Key_Down) {
      OpenRootMenu(slot, true);
      return true;
    }
    return false;
  }

  // Panels a background click closed are no longer open.
  for (std::size_t level = 0; level < open_.size(); ++level) {
    if (open_[level].panel->isHidden()) {
      CloseMenusFrom(static_cast<int>(level));
      break;
    }
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* item = qobject_cast<SkinButton*>(watched);
  QWidget* panel = item || !widget ? (item ? item->parentWidget() : nullptr) : widget;
  const int level = panel ? LevelOf(panel) : -1;
  if (level < 0) return PageView::eventFilter(watched, event);

  const auto back = [this, level] {
    if (level == 0) {
      CloseMenus();
      FocusSelectedLabel();
      return;
    }
    CloseMenusFrom(level);
    if (SkinButton* parentItem = open_[static_cast<std::size_t>(level - 1)].item) {
      parentItem->setFocus(Qt::OtherFocusReason);
    }
  };

  if (auto* list = qobject_cast<QListWidget*>(watched)) {
    if (IsEnterKey(key)) {
      BindMacroAt(list->currentRow());
      return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Escape) {
      back();
      return true;
    }
    return false;
  }

  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Backtab:
      MoveInPanel(level, -1);
      return true;
    case Qt::Key_Down:
    case Qt::Key_Tab:
      MoveInPanel(level, 1);
      return true;
    case Qt::Key_Right:
      if (item && SubmenuOf(item)) OpenSubmenu(item, true);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (item) item->click();
      return true;
    case Qt::Key_Left:
      if (level > 0) back();
      return true;
    case Qt::Key_Escape:
      back();
      return true;
    default:
      return false;
  }
}

// ---- giving a button its function ----

void KeyPageView::ChooseFunction(int tag) {
  const int slot = selectedSlot_;
  CloseMenus();
  if (slot < 1) return;
  pages::PageModel& model = Context().pageModel;
  const model::MenuCodeInputs inputs{model.dpi.AimDpiStep, model.fire};
  const keys::SlotAssignment assigned =
      keys::AssignMenuFunction(Session(), model.key, slot, tag, inputs);
  // A choice refused for the last left button leaves the label showing what the button does.
  if (keys::IsStored(assigned.result)) ShowSlotCaption(slot, assigned.caption);
  FocusSelectedLabel();
}

void KeyPageView::BindMacroAt(int row) {
  const int slot = selectedSlot_;
  CloseMenus();
  if (slot < 1 || row < 0) return;
  const keys::SlotAssignment assigned =
      keys::BindMacro(Session(), Context().pageModel.key, slot, Session().Macros(), row);
  if (keys::IsStored(assigned.result)) ShowSlotCaption(slot, assigned.caption);
  FocusSelectedLabel();
}

void KeyPageView::OpenAssemblyDialog() {
  const int slot = selectedSlot_;
  CloseMenus();
  if (slot < 1 || !keys::CanReplaceSlot(Session(), Context().pageModel.key, slot)) return;
  if (dialog_) dialog_->close();
  const AssemblyKeyDialog::Captions captions{FromUtf8(Session().Text("Str500")),
                                             FromUtf8(Session().Text("Str501")),
                                             FromUtf8(Session().Text("Str502"))};
  dialog_ = new AssemblyKeyDialog(Context().window, captions, Context().style.menuHoverBack);
  connect(dialog_, &AssemblyKeyDialog::Confirmed, this, &KeyPageView::ApplyAssembly);
  dialog_->Open();
}

void KeyPageView::ApplyAssembly(const QString& caption, const QString& codeText) {
  // The dialog does not block the page: the result goes to the button selected now.
  const int slot = selectedSlot_;
  if (slot < 1) return;
  const keys::SlotAssignment assigned = keys::ApplyAssemblyKey(
      Session(), Context().pageModel.key, slot, caption.toStdString(), codeText.toStdString());
  if (keys::IsStored(assigned.result)) ShowSlotCaption(slot, assigned.caption);
}

}  // namespace corvid::app
