#pragma once

// The five page group boxes and the controls on them. Each page makes its controls with their
// system names; the layout of the current language places, sizes and colours them, and the
// language texts give them their captions. Page behaviour lives with each page.

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "app/pages/control_factory.h"
#include "shell/language_file.h"

namespace corvid::app {

inline constexpr int kPageCount = 5;

// A menu panel of the key page and its items, with the language key of each item's caption.
struct MenuItemSpec {
  const char* name;
  const char* key;
};
struct MenuPanelSpec {
  const char* name;
  std::vector<MenuItemSpec> items;
};
const std::vector<MenuPanelSpec>& KeyMenuPanels();

// The key page: the mouse picture with the twelve key labels, the cover of the Fixed Control
// layer and the function menus.
void BuildKeyPage(ControlFactory& factory, QWidget* page);
void ApplyKeyPageTexts(const ControlIndex& controls, const shell::LanguageFile& texts);

// The Advanced page: DPI levels, aim DPI, report rate, fire keys and the pointer settings.
void BuildAdvancedPage(ControlFactory& factory, QWidget* page);

// The Breathing Light page: modes, colours and the step time.
void BuildLightPage(ControlFactory& factory, QWidget* page);

// The macro page: the three lists, the text buttons, the recorder and the insert box.
void BuildMacroPage(ControlFactory& factory, QWidget* page);
void ApplyMacroPageTexts(const ControlIndex& controls, const shell::LanguageFile& texts);

// The Update page.
void BuildUpdatePage(ControlFactory& factory, QWidget* page);
void ApplyUpdatePageTexts(const ControlIndex& controls, const shell::LanguageFile& texts);

// The names of a border button family ("Main", "Lang2", ...), with their caption keys.
struct BorderButtonSpec {
  const char* name;
  const char* key;
  SkinButton::Type type;
};
const std::array<BorderButtonSpec, 15>& BorderButtons();
// The border of page n (1..5): background, Reset, Exit, the page, save, load and language
// buttons, the web button.
void BuildBorder(ControlFactory& factory, QWidget* page, int n);

QString FromUtf8(std::string_view text);

}  // namespace corvid::app
