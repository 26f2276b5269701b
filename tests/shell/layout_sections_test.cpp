#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "shell/ascii_case.h"
#include "shell/layout_file.h"
#include "shell/resources.h"

namespace corvid::shell {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;

// Every key a language section must set, family by family, in the order the window applies them.
struct Family {
  const char* name;
  std::size_t count;
  const char* keys;  // separated by blanks
};
const Family kFamilies[] = {
    {"A", 10,
     "Size_A Color_A_R Color_A_G Color_A_B Btn_A3_Enable Btn_A3_X Btn_A3_Y Btn_A4_Enable "
     "Btn_A4_X Btn_A4_Y "},
    {"B", 42,
     "Size_B Color_B_R Color_B_G Color_B_B Btn_Space_F Btn_Space_B Btn_B1_Enable Btn_B1_X "
     "Btn_B1_Y Btn_B2_Enable Btn_B2_X Btn_B2_Y Btn_B3_Enable Btn_B3_X Btn_B3_Y Btn_B4_Enable "
     "Btn_B4_X Btn_B4_Y Btn_B5_Enable Btn_B5_X Btn_B5_Y Btn_B11_Enable Btn_B11_X Btn_B11_Y "
     "Btn_B12_Enable Btn_B12_X Btn_B12_Y Btn_B6_Enable Btn_B6_X Btn_B6_Y Btn_B7_Enable "
     "Btn_B7_X Btn_B7_Y Btn_B8_Enable Btn_B8_X Btn_B8_Y Btn_B9_Enable Btn_B9_X Btn_B9_Y "
     "Btn_B10_Enable Btn_B10_X Btn_B10_Y "},
    {"C", 46,
     "Size_C Color_C_R Color_C_G Color_C_B P1_X P1_Y Key1_Enable Key1_X Key1_Y Key2_Enable "
     "Key2_X Key2_Y Key3_Enable Key3_X Key3_Y Key4_Enable Key4_X Key4_Y Key5_Enable Key5_X "
     "Key5_Y Key6_Enable Key6_X Key6_Y Key7_Enable Key7_X Key7_Y Key8_Enable Key8_X Key8_Y "
     "Key9_Enable Key9_X Key9_Y Key10_Enable Key10_X Key10_Y Key11_Enable Key11_X Key11_Y "
     "Key12_Enable Key12_X Key12_Y Disable_X Disable_Y Disable_H Disable_W "},
    {"G", 16,
     "Size_G Color_G_R Color_G_G Color_G_B Color_G_Back_R Color_G_Back_G Color_G_Back_B "
     "Color_G_SF_R Color_G_SF_G Color_G_SF_B Color_G_SP_R Color_G_SP_G Color_G_SP_B M_L_W "
     "SP_L_W O_L_W "},
    {"D", 131,
     "Size_D Color_D_Selected_R Color_D_Selected_G Color_D_Selected_B Color_D_notSelected_R "
     "Color_D_notSelected_G Color_D_notSelected_B Color_D_Back_R Color_D_Back_G "
     "Color_D_Back_B P2_X P2_Y FK1Cnt_X FK1Cnt_Y FK1Delay_X FK1Delay_Y FK1Continue_X "
     "FK1Continue_Y FK2Cnt_X FK2Cnt_Y FK2Delay_X FK2Delay_Y FK2Continue_X FK2Continue_Y "
     "FK3Cnt_X FK3Cnt_Y FK3Delay_X FK3Delay_Y FK3Continue_X FK3Continue_Y Rep1_X Rep1_Y "
     "Rep2_X Rep2_Y Rep3_X Rep3_Y Rep4_X Rep4_Y Spd_X Spd_Y DbSpd_X DbSpd_Y ScrSpd_X "
     "ScrSpd_Y DPI_Orientation DPI1_Color_X DPI1_Color_Y DPI1_Check_X DPI1_Check_Y DPI1_X "
     "DPI1_Y DPI1_Value_X DPI1_Value_Y DPI1_Steps_X DPI1_Steps_Y DPI2_Color_X DPI2_Color_Y "
     "DPI2_Check_X DPI2_Check_Y DPI2_X DPI2_Y DPI2_Value_X DPI2_Value_Y DPI2_Steps_X "
     "DPI2_Steps_Y DPI3_Color_X DPI3_Color_Y DPI3_Check_X DPI3_Check_Y DPI3_X DPI3_Y "
     "DPI3_Value_X DPI3_Value_Y DPI3_Steps_X DPI3_Steps_Y DPI4_Color_X DPI4_Color_Y "
     "DPI4_Check_X DPI4_Check_Y DPI4_X DPI4_Y DPI4_Value_X DPI4_Value_Y DPI4_Steps_X "
     "DPI4_Steps_Y DPI5_Color_X DPI5_Color_Y DPI5_Check_X DPI5_Check_Y DPI5_X DPI5_Y "
     "DPI5_Value_X DPI5_Value_Y DPI5_Steps_X DPI5_Steps_Y DPI6_Color_X DPI6_Color_Y "
     "DPI6_Check_X DPI6_Check_Y DPI6_X DPI6_Y DPI6_Value_X DPI6_Value_Y DPI6_Steps_X "
     "DPI6_Steps_Y DPI7_Color_X DPI7_Color_Y DPI7_Check_X DPI7_Check_Y DPI7_X DPI7_Y "
     "DPI7_Value_X DPI7_Value_Y DPI7_Steps_X DPI7_Steps_Y DPI8_Color_X DPI8_Color_Y "
     "DPI8_Check_X DPI8_Check_Y DPI8_X DPI8_Y DPI8_Value_X DPI8_Value_Y DPI8_Steps_X "
     "DPI8_Steps_Y AIMDPI_X AIMDPI_Y AIMDPI_Value_X AIMDPI_Value_Y AIMDPI_Steps_X "
     "AIMDPI_Steps_Y "},
    {"E", 34,
     "Size_E Color_E_R Color_E_G Color_E_B P3_X P3_Y StepTime_X StepTime_Y LEDOff_X LEDOff_Y "
     "LEDMode1_X LEDMode1_Y LEDMode2_X LEDMode2_Y LEDMode3_X LEDMode3_Y LEDMode4_X "
     "LEDMode4_Y LEDMode5_X LEDMode5_Y LEDColor1_X LEDColor1_Y LEDColor2_X LEDColor2_Y "
     "LEDColor3_X LEDColor3_Y LEDColor4_X LEDColor4_Y LEDColor5_X LEDColor5_Y LEDColor6_X "
     "LEDColor6_Y LEDColor7_X LEDColor7_Y "},
    {"F", 46,
     "Size_F Color_F_R Color_F_G Color_F_B Color_F_Font_R Color_F_Font_G Color_F_Font_B "
     "Color_F_Back_R Color_F_Back_G Color_F_Back_B P4_X P4_Y PCMacroName_X PCMacroName_Y "
     "MseMacroName_X MseMacroName_Y MacroNameHeight MacroContent_X MacroContent_Y BtnStart_X "
     "BtnStart_Y DelayTime_X DelayTime_Y RecDelay_X RecDelay_Y RecDelay_H DelayEdit_X "
     "DelayEdit_Y Insert_X Insert_Y InsertList_X InsertList_Y InsertList_W InsertRecDelay_X "
     "InsertRecDelay_Y InsertRecDelay_H InsertDelayEdit_X InsertDelayEdit_Y InsertAxisEdit_X "
     "InsertAxisEdit_Y InsertBtnStart_X InsertBtnStart_Y InsertBtnOK_X InsertBtnOK_Y "
     "InsertBtnCancel_X InsertBtnCancel_Y "},
    {"I", 14,
     "Size_I Color_I_R Color_I_G Color_I_B P5_X P5_Y lbl_BINPath_X lbl_BINPath_Y "
     "lbl_LoadBin_X lbl_LoadBin_Y Btn_LoadBin_X Btn_LoadBin_Y Btn_Program_X Btn_Program_Y "},
};

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::istringstream stream{std::string(text)};
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

const char* const kSections[] = {"org1", "org2", "org3"};

LayoutFileParse ShippedLayoutText() {
  const auto bytes = ResourceBytes("ORG");
  if (!bytes) {
    return {};
  }
  return ParseLayoutFile(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

TEST(LayoutSectionsTest, EverySectionSetsEveryKeyAsAValidNumber) {
  const LayoutFileParse parse = ShippedLayoutText();
  EXPECT_THAT(parse.problems, IsEmpty());
  const LayoutFile& layout = parse.file;
  for (const char* section : kSections) {
    SCOPED_TRACE(section);
    ASSERT_TRUE(layout.HasSection(section));
    std::size_t keyCount = 0;
    std::vector<std::string> missing, notNumeric, enableNotZeroOrOne, colourOutOfRange;
    for (const Family& family : kFamilies) {
      const std::vector<std::string> keys = Words(family.keys);
      EXPECT_EQ(keys.size(), family.count) << "family " << family.name;
      keyCount += keys.size();
      for (const std::string& key : keys) {
        if (!layout.Value(section, key)) {
          missing.push_back(key);
          continue;
        }
        const std::optional<int> value = layout.IntegerValue(section, key);
        if (!value) {
          notNumeric.push_back(key);
        } else if (key.ends_with("_Enable") && *value != 0 && *value != 1) {
          enableNotZeroOrOne.push_back(key);
        } else if (key.starts_with("Color_") && (*value < 0 || *value > 255)) {
          colourOutOfRange.push_back(key);
        }
      }
    }
    EXPECT_EQ(keyCount, 339u);
    EXPECT_THAT(missing, IsEmpty()) << "missing keys";
    EXPECT_THAT(notNumeric, IsEmpty()) << "keys that are not decimal numbers";
    EXPECT_THAT(enableNotZeroOrOne, IsEmpty());
    EXPECT_THAT(colourOutOfRange, IsEmpty());
  }
  // Only the placeholder language shows its own button.
  EXPECT_EQ(layout.IntegerValue("org1", "Btn_B10_Enable"), 0);
  EXPECT_EQ(layout.IntegerValue("org2", "Btn_B10_Enable"), 0);
  EXPECT_EQ(layout.IntegerValue("org3", "Btn_B10_Enable"), 1);
}

// The skin pictures live in the source tree; the tests folder sits beside the resources folder.
fs::path SourceFolder() { return fs::path(CORVID_TEST_DATA_DIR).parent_path().parent_path(); }

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Width and height from the IHDR chunk that must follow the PNG signature.
std::optional<Size> PngSize(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::array<unsigned char, 24> head{};
  if (!file.read(reinterpret_cast<char*>(head.data()), head.size())) {
    return std::nullopt;
  }
  constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!std::equal(kSignature.begin(), kSignature.end(), head.begin()) ||
      std::string_view(reinterpret_cast<const char*>(&head[12]), 4) != "IHDR") {
    return std::nullopt;
  }
  const auto bigEndian = [&](int at) {
    return static_cast<int>((std::uint32_t{head[at]} << 24) | (std::uint32_t{head[at + 1]} << 16) |
                            (std::uint32_t{head[at + 2]} << 8) | head[at + 3]);
  };
  return Size{bigEndian(16), bigEndian(20)};
}

// The pictures the window loads by name (found without regard to case), with their sizes.
std::map<std::string, Size, AsciiCaseInsensitiveLess> SkinPictures() {
  std::map<std::string, Size, AsciiCaseInsensitiveLess> pictures;
  for (const auto& entry : fs::directory_iterator(SourceFolder() / "resources" / "skin")) {
    if (entry.is_regular_file() &&
        EqualsIgnoringAsciiCase(entry.path().extension().string(), ".png")) {
      pictures[entry.path().stem().string()] = PngSize(entry.path()).value_or(Size{});
    }
  }
  return pictures;
}

std::vector<std::string> PictureSet() {
  std::vector<std::string> names{"Update", "AppIcon", "AppIcon48"};
  for (const char* language : {"L1_", "L2_", "L3_"}) {
    for (const char* page : {"BackGround", "Back1", "Back2", "Back3", "Back4"}) {
      names.push_back(std::string(language) + page);
    }
  }
  for (const char* name :
       {"BtnS_01",   "BtnS_02",   "BtnS_03",       "SetS_01",        "SetS_02",      "SetS_03",
        "KeyS_01",   "KeyS_02",   "WebS_01",       "WebS_02",        "WebS_03",      "MacroS_01",
        "MacroS_02", "MacroS_03", "MacroBtnS_01",  "MacroBtnS_02",   "MacroBtnS_03", "CbS_D",
        "CbS_E",     "RdS_D",     "RdS_E",         "Bar1_D",         "Bar1_E",       "Bar2_D",
        "Bar2_E",    "Col_F",     "InsertKeyBase", "InsertDelayBase"}) {
    names.emplace_back(name);
  }
  return names;
}

// The picture table of the skin guide: rows "| `Name`, `Name` | W × H | role |".
std::map<std::string, Size, AsciiCaseInsensitiveLess> DocumentedSizes() {
  std::map<std::string, Size, AsciiCaseInsensitiveLess> sizes;
  std::ifstream doc(SourceFolder() / "docs" / "skin.md");
  const std::regex row(R"(^\|([^|]*)\|\s*(\d+) × (\d+)\s*\|)");
  const std::regex name("`([A-Za-z0-9_]+)`");
  for (std::string line; std::getline(doc, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, row)) {
      continue;
    }
    const Size size{std::stoi(match[2]), std::stoi(match[3])};
    const std::string names = match[1];
    for (std::sregex_iterator it(names.begin(), names.end(), name), end; it != end; ++it) {
      sizes[(*it)[1]] = size;
    }
  }
  return sizes;
}

TEST(SkinPicturesTest, EveryPictureExistsWithItsDocumentedSize) {
  const auto pictures = SkinPictures();
  const auto documented = DocumentedSizes();
  for (const std::string& name : PictureSet()) {
    SCOPED_TRACE(name);
    const auto picture = pictures.find(name);
    ASSERT_NE(picture, pictures.end()) << "no " << name << ".png in resources/skin";
    const auto size = documented.find(name);
    ASSERT_NE(size, documented.end()) << "docs/skin.md gives no size for " << name;
    EXPECT_EQ(picture->second, size->second);
  }
}

// Where the controls of one language section land, at the size of the pictures they show.
struct Box {
  std::string name;
  int x = 0, y = 0, width = 0, height = 0;
  bool Overlaps(const Box& o) const {
    return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
  }
  bool Inside(const Box& o) const {
    return x >= o.x && y >= o.y && x + width <= o.x + o.width && y + height <= o.y + o.height;
  }
};

class SectionGeometry {
 public:
  SectionGeometry(const LayoutFile& layout, std::string section)
      : layout_(layout), section_(std::move(section)), pictures_(SkinPictures()) {}

  int Number(const std::string& key) const {
    const auto value = layout_.IntegerValue(section_, key);
    EXPECT_TRUE(value.has_value()) << key;
    return value.value_or(0);
  }
  bool Enabled(const std::string& key) const { return Number(key + "_Enable") == 1; }
  Size PictureSize(const std::string& picture) const {
    const auto found = pictures_.find(picture);
    EXPECT_NE(found, pictures_.end()) << picture;
    return found == pictures_.end() ? Size{} : found->second;
  }
  // A control of the picture's size at the position of the keys prefix_X, prefix_Y.
  Box At(const std::string& prefix, const std::string& picture, int columns = 1,
         int rowsUpwards = 1) const {
    const Size size = PictureSize(picture);
    const int y = Number(prefix + "_Y") - (rowsUpwards - 1) * size.height;
    return {prefix, Number(prefix + "_X"), y, size.width * columns, size.height * rowsUpwards};
  }

 private:
  const LayoutFile& layout_;
  std::string section_;
  std::map<std::string, Size, AsciiCaseInsensitiveLess> pictures_;
};

// Fire-key edits have no picture; the window gives them this size.
constexpr Size kEditSize{40, 20};

void ExpectApart(const std::vector<Box>& boxes, const Box& area) {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_TRUE(boxes[i].Inside(area)) << boxes[i].name << " leaves " << area.name;
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      EXPECT_FALSE(boxes[i].Overlaps(boxes[j])) << boxes[i].name << " overlaps " << boxes[j].name;
    }
  }
}

TEST(LayoutSectionsTest, VisibleControlsStayInTheWindowAndApart) {
  const LayoutFile layout = ShippedLayoutText().file;
  const Box window{"the window", 0, 0, 800, 600};
  for (const char* section : kSections) {
    SCOPED_TRACE(section);
    const SectionGeometry g(layout, section);

    std::vector<Box> border;
    for (const char* key : {"Btn_A3", "Btn_A4"}) {
      if (g.Enabled(key)) border.push_back(g.At(key, "BtnS_01"));
    }
    for (int k = 1; k <= 12; ++k) {
      const std::string key = "Btn_B" + std::to_string(k);
      if (g.Enabled(key)) border.push_back(g.At(key, "SetS_01"));
    }

    // Each page: its picture, and on it the border buttons and the page's own controls.
    std::map<int, std::vector<Box>> pages;
    for (int k = 1; k <= 12; ++k) {
      const std::string key = "Key" + std::to_string(k);
      if (g.Enabled(key)) pages[1].push_back(g.At(key, "KeyS_01"));
    }
    for (int i = 1; i <= 3; ++i) {
      const std::string fire = "FK" + std::to_string(i);
      for (const std::string& edit : {fire + "Cnt", fire + "Delay"}) {
        pages[2].push_back({edit, g.Number(edit + "_X"), g.Number(edit + "_Y"), kEditSize.width,
                            kEditSize.height});
      }
      pages[2].push_back(g.At(fire + "Continue", "CbS_D"));
    }
    for (int r = 1; r <= 4; ++r) pages[2].push_back(g.At("Rep" + std::to_string(r), "RdS_D"));
    for (const char* bar : {"Spd", "DbSpd", "ScrSpd"}) pages[2].push_back(g.At(bar, "Bar1_D", 10));
    EXPECT_EQ(g.Number("DPI_Orientation"), 0);  // the bars below run upwards
    for (int n = 1; n <= 8; ++n) {
      const std::string level = "DPI" + std::to_string(n);
      pages[2].push_back(g.At(level + "_Color", "Col_F"));
      pages[2].push_back(g.At(level + "_Check", "CbS_D"));
      pages[2].push_back(g.At(level + "_Steps", "Bar2_D", 1, 12));
    }
    pages[2].push_back(g.At("AIMDPI_Steps", "Bar2_D", 1, 12));
    pages[3].push_back(g.At("StepTime", "Bar1_D", 10));
    pages[3].push_back(g.At("LEDOff", "RdS_D"));
    for (int m = 1; m <= 5; ++m) pages[3].push_back(g.At("LEDMode" + std::to_string(m), "RdS_D"));
    for (int c = 1; c <= 7; ++c) pages[3].push_back(g.At("LEDColor" + std::to_string(c), "Col_F"));
    pages[4].push_back(g.At("BtnStart", "MacroS_01"));
    pages[4].push_back(g.At("Insert", "InsertKeyBase"));
    pages[5].push_back(g.At("Btn_LoadBin", "KeyS_01"));
    pages[5].push_back(g.At("Btn_Program", "KeyS_01"));

    ExpectApart(border, window);
    for (auto& [page, controls] : pages) {
      const std::string pageKey = "P" + std::to_string(page);
      const Box picture = g.At(pageKey, page == 5 ? "Update" : "L1_Back" + std::to_string(page));
      EXPECT_TRUE(picture.Inside(window)) << pageKey;
      ExpectApart(controls, picture);
      for (const Box& control : border) {
        EXPECT_FALSE(picture.Overlaps(control)) << control.name << " lies on page " << page;
      }
    }

    // The insert box's buttons count from the box's corner and stay on its backdrop.
    const Box insertBox = g.At("Insert", "InsertKeyBase");
    std::vector<Box> insertButtons{g.At("InsertBtnStart", "MacroS_01"),
                                   g.At("InsertBtnOK", "MacroBtnS_01"),
                                   g.At("InsertBtnCancel", "MacroBtnS_01")};
    ExpectApart(insertButtons, {"the insert box", 0, 0, insertBox.width, insertBox.height});
  }
}

}  // namespace
}  // namespace corvid::shell
