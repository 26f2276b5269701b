// show and the settings commands: DPI, report rate, lighting, layers, buttons, fire keys. Each
// setting calls the operation the page's click calls, with the page state filled from the mouse.

#include <charconv>
#include <iostream>

#include "cli/command_context.h"
#include "keys/fire_aim_keys.h"
#include "keys/key_assignment.h"
#include "keys/layer_entry.h"
#include "pages/page_model.h"
#include "performance/report_rate.h"
#include "session/page_result.h"

namespace corvid::cli {
namespace {

using session::PageResult;

std::optional<model::ColourChannels> ParseColour(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.size() != 6 || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return model::ColourChannels{static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value)};
}

std::optional<int> ParseLayer(std::string_view text) {
  if (text == "main") return keys::kMainLayer;
  if (text == "switch") return keys::kSwitchLayer;
  if (text == "fixed") return keys::kFixedLayer;
  return std::nullopt;
}

const char* LayerName(int layer) {
  return layer == keys::kMainLayer ? "main" : layer == keys::kSwitchLayer ? "switch" : "fixed";
}

std::string ColourText(model::ColourChannels stored) {
  const model::ColourChannels shown = performance::SwatchColour(stored);
  return "#" + Hex(shown.red, 2) + Hex(shown.green, 2) + Hex(shown.blue, 2);
}

int PageExit(PageResult result) {
  switch (result) {
    case PageResult::kWritten:
    case PageResult::kUnchanged:
      return kExitOk;
    case PageResult::kInvalidArgument:
      std::cerr << "corvid88ctl: " << session::PageResultText(result) << "\n";
      return kExitUsage;
    case PageResult::kLocked:
    case PageResult::kNoMouse:
    case PageResult::kRefused:
      std::cerr << "corvid88ctl: " << session::PageResultText(result) << "\n";
      return kExitNoMouse;
    case PageResult::kWriteFailed:
    case PageResult::kNotOffered:
    case PageResult::kNoLeftKey:
    case PageResult::kEntryRefused:
      break;
  }
  std::cerr << "corvid88ctl: " << session::PageResultText(result) << "\n";
  return kExitFailed;
}

// The page state a command works on, filled as the window fills its pages after a full read.
struct Pages {
  pages::PageModel model;
  const model::DeviceMacroCatalog* macros = nullptr;

  model::CodeCaptionContext Captions(session::Session& session) const {
    return keys::CaptionContextOf(session, macros);
  }
};

void ShowText(CommandContext& context, Pages& pages) {
  session::Session& session = context.session;
  const performance::DpiPageState& dpi = pages.model.dpi;
  std::ostream& out = context.out;
  out << "DPI levels: " << dpi.DpiLevelCount << ", current level "
      << (performance::CurrentLevelShown(dpi) ? std::to_string(*performance::CurrentLevelShown(dpi))
                                              : std::string("-"))
      << "\n";
  for (int level = 1; level <= model::kDpiLevelCount; ++level) {
    const std::string value = performance::DpiLevelValueText(session, dpi, level);
    out << "  level " << level << (performance::IsDpiLevelEnabled(dpi, level) ? "  " : " (off) ")
        << (value.empty() ? "-" : value);
    if (dpi.coloursShown) out << "  " << ColourText(dpi.levelColour[level - 1]);
    out << "\n";
  }
  out << "aim DPI: " << performance::DpiStepText(session, dpi.AimDpiStep - 1) << "\n";
  out << "report rate: " << dpi.LoadedReportRate << " Hz\n";

  const performance::LightingPageState& light = pages.model.lighting;
  out << "LED family: " << performance::LedFamilyText(light) << ", mode "
      << (light.checkedMode
              ? (*light.checkedMode == 0 ? std::string("off") : std::to_string(*light.checkedMode))
              : std::string("-"))
      << ", step time " << light.LedStepIndex << "\n";
  if (light.coloursShown) {
    out << "LED colours:";
    for (const model::ColourChannels& colour : light.ledColour) out << " " << ColourText(colour);
    out << "\n";
  }

  const model::CodeCaptionContext captions = pages.Captions(session);
  for (int layer = keys::kMainLayer; layer <= keys::kFixedLayer; ++layer) {
    out << "layer " << LayerName(layer) << (layer == pages.model.key.layer ? " (active)" : "")
        << ":\n";
    const keys::SlotCaptions shown = keys::LayerCaptions(session.DataBuf(), layer, captions);
    for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
      out << "  " << (slot < 10 ? " " : "") << slot << "  "
          << session.DataBuf().SlotCodeText(layer, slot) << "  " << shown[slot - 1] << "\n";
    }
  }
  for (int fire = 1; fire <= model::kFireKeyCount; ++fire) {
    const model::FireKeySetting& setting = pages.model.fire[fire - 1];
    out << "fire key " << fire << ": repeat " << setting.repeat << ", delay " << setting.delay
        << (setting.continuous ? ", continuous" : "") << "\n";
  }
}

void ShowJson(CommandContext& context, Pages& pages) {
  session::Session& session = context.session;
  const performance::DpiPageState& dpi = pages.model.dpi;
  nlohmann::json levels = nlohmann::json::array();
  for (int level = 1; level <= model::kDpiLevelCount; ++level) {
    levels.push_back({{"level", level},
                      {"enabled", performance::IsDpiLevelEnabled(dpi, level)},
                      {"dpi", performance::DpiLevelValueText(session, dpi, level)},
                      {"colour", ColourText(dpi.levelColour[level - 1])}});
  }
  const auto current = performance::CurrentLevelShown(dpi);
  context.json["dpi"] = {{"levelCount", dpi.DpiLevelCount},
                         {"currentLevel", current ? nlohmann::json(*current) : nullptr},
                         {"levels", levels},
                         {"coloursShown", dpi.coloursShown}};
  context.json["aimDpi"] = performance::DpiStepText(session, dpi.AimDpiStep - 1);
  context.json["reportRate"] = dpi.LoadedReportRate;

  const performance::LightingPageState& light = pages.model.lighting;
  nlohmann::json colours = nlohmann::json::array();
  for (const model::ColourChannels& colour : light.ledColour) colours.push_back(ColourText(colour));
  context.json["lighting"] = {
      {"family", performance::LedFamilyText(light)},
      {"mode", light.checkedMode ? nlohmann::json(*light.checkedMode) : nullptr},
      {"stepTime", light.LedStepIndex},
      {"colours", colours}};

  const model::CodeCaptionContext captions = pages.Captions(session);
  nlohmann::json layers = nlohmann::json::object();
  for (int layer = keys::kMainLayer; layer <= keys::kFixedLayer; ++layer) {
    const keys::SlotCaptions shown = keys::LayerCaptions(session.DataBuf(), layer, captions);
    nlohmann::json slots = nlohmann::json::array();
    for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
      slots.push_back({{"slot", slot},
                       {"code", session.DataBuf().SlotCodeText(layer, slot)},
                       {"caption", shown[slot - 1]}});
    }
    layers[LayerName(layer)] = slots;
  }
  context.json["activeLayer"] = LayerName(pages.model.key.layer);
  context.json["layers"] = layers;
  nlohmann::json fire = nlohmann::json::array();
  for (const model::FireKeySetting& setting : pages.model.fire) {
    fire.push_back(
        {{"repeat", setting.repeat}, {"delay", setting.delay}, {"continuous", setting.continuous}});
  }
  context.json["fireKeys"] = fire;
}

// `button LAYER SLOT FUNCTION`: a menu item by its caption or tag, or an 8-digit code. Nothing
// when FUNCTION names none of them (the reason has been printed).
std::optional<PageResult> AssignButton(CommandContext& context, Pages& pages, int layer, int slot,
                                       const std::string& function) {
  session::Session& session = context.session;
  const model::CodeCaptionContext captions = pages.Captions(session);
  // The button page works on the layer on show; the command shows LAYER without entering it.
  const keys::KeyPageState page{layer, keys::LayerCaptions(session.DataBuf(), layer, captions)};
  std::optional<int> tag = keys::MenuTagOfCaption(session.CurrentLanguage(), function);
  if (!tag) tag = ParseNumber(function, 0, 99999);
  const std::optional<model::SlotBytes> code = model::ParseSlotCodeText(function);
  if (!tag && code) tag = keys::MenuTagOfCode(function);
  if (tag) {
    const model::MenuCodeInputs inputs{pages.model.dpi.AimDpiStep, pages.model.fire};
    return keys::AssignMenuFunction(session, page, slot, *tag, inputs).result;
  }
  // A macro of the mouse, by its name.
  const macros::DeviceMacros& deviceMacros = session.Macros();
  for (int i = 0; i < deviceMacros.MacroCount(); ++i) {
    if (deviceMacros.MacroName(i) == function) {
      return keys::BindMacro(session, page, slot, deviceMacros, i).result;
    }
  }
  if (code) {
    return keys::ApplyAssemblyKey(session, page, slot, model::ComposeKeyText(*code, pages.macros),
                                  function)
        .result;
  }
  std::cerr << "corvid88ctl: \"" << function
            << "\" is neither a function caption, a menu tag, a macro of the mouse nor an 8-digit "
               "code\n";
  return std::nullopt;
}

// `dpi-levels N`: clicks level captions as the page does, one level at a time.
PageResult SetLevelCount(session::Session& session, performance::DpiPageState& dpi, int count) {
  PageResult result = PageResult::kUnchanged;
  while (dpi.DpiLevelCount != count) {
    const int before = dpi.DpiLevelCount;
    const int clicked = count > before ? before + 1 : before;
    result = performance::ToggleDpiLevel(session, dpi, clicked);
    if (!session::IsStored(result) || dpi.DpiLevelCount == before) return result;
  }
  return result;
}

int Setting(CommandContext& context, Pages& pages) {
  session::Session& session = context.session;
  const std::string& name = context.options.command[0];
  const auto arguments = context.ArgumentCount();
  const auto usage = [&](const char* form) { return UsageError(std::string("usage: ") + form); };
  const auto arg = [&](std::size_t i) -> const std::string& { return context.Argument(i); };
  performance::DpiPageState& dpi = pages.model.dpi;
  performance::LightingPageState& light = pages.model.lighting;

  if (name == "layer") {
    const auto layer = arguments == 1 ? ParseLayer(arg(0)) : std::nullopt;
    if (!layer) return usage("layer main|switch|fixed");
    return PageExit(keys::EnterLayer(session, *layer, pages.Captions(session)).result);
  }
  if (name == "button") {
    const auto layer = arguments == 3 ? ParseLayer(arg(0)) : std::nullopt;
    const auto slot = arguments == 3 ? ParseNumber(arg(1), 1, model::kSlotsPerLayer) : std::nullopt;
    if (!layer || !slot) return usage("button main|switch|fixed 1..12 FUNCTION");
    const std::optional<PageResult> assigned = AssignButton(context, pages, *layer, *slot, arg(2));
    return assigned ? PageExit(*assigned) : kExitUsage;
  }
  if (name == "dpi-levels") {
    const auto count = arguments == 1 ? ParseNumber(arg(0), 1, 8) : std::nullopt;
    if (!count) return usage("dpi-levels 1..8");
    return PageExit(SetLevelCount(session, dpi, *count));
  }
  if (name == "dpi-current") {
    const auto level = arguments == 1 ? ParseNumber(arg(0), 1, 8) : std::nullopt;
    if (!level) return usage("dpi-current 1..8");
    return PageExit(performance::SelectCurrentDpiLevel(session, dpi, *level));
  }
  if (name == "dpi-step") {
    const auto level = arguments == 2 ? ParseNumber(arg(0), 1, 8) : std::nullopt;
    const auto step = arguments == 2 ? ParseNumber(arg(1), 1, 12) : std::nullopt;
    if (!level || !step) return usage("dpi-step 1..8 1..12");
    return PageExit(performance::SetDpiLevelStep(session, dpi, *level, *step));
  }
  if (name == "dpi-colour" || name == "led-colour") {
    const int count = name == "dpi-colour" ? 8 : 7;
    const auto index = arguments == 2 ? ParseNumber(arg(0), 1, count) : std::nullopt;
    const auto colour = arguments == 2 ? ParseColour(arg(1)) : std::nullopt;
    if (!index || !colour) {
      return usage(name == "dpi-colour" ? "dpi-colour 1..8 RRGGBB" : "led-colour 1..7 RRGGBB");
    }
    return PageExit(name == "dpi-colour"
                        ? performance::SetDpiLevelColour(session, dpi, *index, *colour)
                        : performance::SetLedColour(session, light, *index, *colour));
  }
  if (name == "aim-dpi") {
    const auto step = arguments == 1 ? ParseNumber(arg(0), 1, 12) : std::nullopt;
    if (!step) return usage("aim-dpi 1..12");
    const keys::KeyPageState& page = pages.model.key;
    return PageExit(performance::SetAimDpi(session, dpi, *step, [&](int aimStep) {
      return keys::SettingAIMKey(session, page, aimStep).result;
    }));
  }
  if (name == "rate") {
    const auto hz = arguments == 1 ? ParseNumber(arg(0), 125, 1000) : std::nullopt;
    std::optional<model::UsbReportRate> rate;
    for (const auto candidate : {model::UsbReportRate::Hz125, model::UsbReportRate::Hz250,
                                 model::UsbReportRate::Hz500, model::UsbReportRate::Hz1000}) {
      if (hz && model::ReportRateHz(candidate) == *hz) rate = candidate;
    }
    if (!rate) return usage("rate 125|250|500|1000");
    return PageExit(performance::SetReportRate(session, dpi, *rate));
  }
  if (name == "led-mode") {
    const auto mode = arguments != 1    ? std::nullopt
                      : arg(0) == "off" ? std::optional<int>(0)
                                        : ParseNumber(arg(0), 1, 5);
    if (!mode) return usage("led-mode off|1..5");
    return PageExit(performance::SetLedMode(session, light, *mode));
  }
  if (name == "led-step") {
    const auto step = arguments == 1 ? ParseNumber(arg(0), 1, 10) : std::nullopt;
    if (!step) return usage("led-step 1..10");
    return PageExit(performance::SetLedStepTime(session, light, *step));
  }
  // fire N REPEAT DELAY [continuous]
  const bool continuous = arguments == 4 && arg(3) == "continuous";
  const auto fire = arguments == 3 || continuous ? ParseNumber(arg(0), 1, 3) : std::nullopt;
  const auto repeat = fire ? ParseNumber(arg(1), 1, 15) : std::nullopt;
  const auto delay = fire ? ParseNumber(arg(2), 0, keys::kMaxFireDelay) : std::nullopt;
  if (!fire || !repeat || !delay)
    return usage("fire 1..3 REPEAT(1..15) DELAY(0..4094) [continuous]");
  return PageExit(keys::SetFireKey(session, pages.model.key, pages.model.fire, pages.model.copies,
                                   *fire, {*repeat, *delay, continuous}));
}

}  // namespace

bool IsSettingsCommand(std::string_view name) {
  for (const char* known :
       {"show", "layer", "button", "dpi-levels", "dpi-current", "dpi-step", "dpi-colour", "aim-dpi",
        "rate", "led-mode", "led-step", "led-colour", "fire"}) {
    if (name == known) return true;
  }
  return false;
}

int RunSettingsCommand(CommandContext& context) {
  const std::string& name = context.options.command[0];
  if (name == "show" && context.ArgumentCount() != 0) return UsageError("show takes no argument");
  if (const int status = RequireMouse(context); status != kExitOk) return status;
  Pages pages;
  pages.macros = &context.session.Macros();
  pages.model.Fill(context.session, pages.macros);
  if (name != "show") return Setting(context, pages);
  if (context.Json()) {
    ShowJson(context, pages);
  } else {
    ShowText(context, pages);
  }
  return kExitOk;
}

}  // namespace corvid::cli
