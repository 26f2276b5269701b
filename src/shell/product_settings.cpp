#include "shell/product_settings.h"

#include <optional>
#include <string_view>

namespace corvid::shell {
namespace {

constexpr std::string_view kSection = "org";

}  // namespace

ProductSettingsRead ReadProductSettings(const LayoutFile& layout) {
  ProductSettingsRead result;
  ProductSettings& settings = result.settings;
  // A numeric key that is missing or not a number is named in the result.
  auto number = [&](std::string_view key) {
    const std::optional<int> value = layout.IntegerValue(kSection, key);
    if (!value) {
      result.invalidKeys.emplace_back(key);
    }
    return value;
  };

  settings.ledType = layout.Value(kSection, "LEDType").value_or("");
  settings.webEnabled = number("Web_Enable") == 1;
  settings.web = layout.Value(kSection, "Web").value_or("");
  const std::optional<int> webX = number("Web_X");
  const std::optional<int> webY = number("Web_Y");
  // Half a position would put the button somewhere nobody chose; it stays hidden instead.
  if (webX && webY) {
    settings.webX = *webX;
    settings.webY = *webY;
  }
  settings.revManuId = number("Rev_Manu_ID").value_or(0);
  settings.revProId = number("Rev_Pro_ID").value_or(0);
  settings.path = layout.Value(kSection, "Path").value_or("");
  return result;
}

ProductSettingsRead ReadProductSettings() {
  const std::optional<LayoutFile> layout = LoadLayoutResource("ORG");
  return ReadProductSettings(layout ? *layout : LayoutFile{});
}

}  // namespace corvid::shell
