#pragma once

#include <QPointer>
#include <QString>
#include <vector>

#include "app/dialogs/assembly_key_dialog.h"
#include "app/pages/page_view.h"
#include "keys/layer_entry.h"

namespace corvid::app {

class SkinButton;

// The key page: the twelve key labels of the layer on show and the function menus that give
// each button its job.
//
// A click on a key label opens the root menu beside the label; pointing at a category opens its
// panel beside it, and a click on a function gives it to the button at once. The menus stay
// inside the window: near the right or bottom edge they open to the left or upwards. The keyboard
// works them as well: Enter, Space or Down on a key label opens the root menu, Up and Down move,
// Right or Enter opens a panel, Left goes back, Escape goes back and from the root menu closes,
// Enter chooses.
class KeyPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void Connect() override;
  void ApplyTexts(const shell::LanguageFile& texts) override;
  void Refresh() override;
  void ResetForNoDevice() override;
  // A layer was entered with its page button.
  void EnterLayer(const keys::LayerEntry& entry);
  // Whether the root menu offers the macro entry: not on a mouse that cannot play macros.
  void SetMacroBindingOffered(bool offered);

  // The slot whose label was clicked last (1..12), -1 before any.
  int SelectedSlot() const { return selectedSlot_; }
  // The key-combination dialog while it is open.
  AssemblyKeyDialog* OpenDialog() const { return dialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct MenuLevel {
    QWidget* panel;
    SkinButton* item;  // the item highlighted in it, may be null
  };

  void ShowKeyCaptions();
  void ShowSlotCaption(int slot, const std::string& caption);
  void OpenRootMenu(int slot, bool byKeyboard);
  // Opens the panel of a root or Fire Key item; `byKeyboard` puts the keyboard on its first item.
  void OpenSubmenu(SkinButton* item, bool byKeyboard);
  void CloseMenusFrom(int level);
  void CloseMenus();
  void PointAt(SkinButton* item);
  void Highlight(int level, SkinButton* item);
  void MoveInPanel(int level, int step);
  int LevelOf(const QWidget* panel) const;
  void ChooseFunction(int tag);
  void BindMacroAt(int row);
  void OpenAssemblyDialog();
  void ApplyAssembly(const QString& caption, const QString& codeText);
  void FocusSelectedLabel();

  int selectedSlot_ = -1;
  bool macroBindingOffered_ = true;
  // Whether the panels of the open root menu open to its left: there is no room on the right.
  bool cascadeLeft_ = false;
  // The open menus, root first.
  std::vector<MenuLevel> open_;
  QPointer<AssemblyKeyDialog> dialog_;
};

}  // namespace corvid::app
