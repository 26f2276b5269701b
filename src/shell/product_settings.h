#pragma once

#include <string>
#include <vector>

#include "shell/layout_file.h"

namespace corvid::shell {

// Where the web button goes when the layout gives no usable position: just outside the 800 x 600
// window, which hides it.
inline constexpr int kHiddenWebButtonX = 800;
inline constexpr int kHiddenWebButtonY = 600;

// The product settings of section [org] of the layout file, read once at start-up.
struct ProductSettings {
  std::string ledType;           // LEDType: key page arrangement, "RGB" or "ZK"
  bool webEnabled = false;       // Web_Enable = 1: the web button opens the web address
  std::string web;               // Web: the address the web button opens
  int webX = kHiddenWebButtonX;  // Web_X, Web_Y: position of the web button
  int webY = kHiddenWebButtonY;
  int revManuId = 0;  // Rev_Manu_ID, Rev_Pro_ID: second identity accepted from a mouse
  int revProId = 0;
  std::string path;  // Path: folder of the PC macro library; empty means the program's folder
};

struct ProductSettingsRead {
  ProductSettings settings;
  // The numeric keys that were missing or not a decimal number, by name; their fields keep the
  // defaults above (web button disabled and hidden, identity 0, 0).
  std::vector<std::string> invalidKeys;
};

ProductSettingsRead ReadProductSettings(const LayoutFile& layout);
// From the built-in layout text ORG.
ProductSettingsRead ReadProductSettings();

}  // namespace corvid::shell
