#pragma once

#include "app/pages/page_view.h"
#include "performance/pointer_settings.h"

namespace corvid::app {

// The Advanced page: DPI levels, aim DPI, report rate, fire keys and the pointer settings.
// Every click goes through the same operation as the command line and writes at once; the page
// then shows the state the operation left.
class AdvancedPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void Connect() override;
  void ApplyTexts(const shell::LanguageFile& texts) override;
  void Refresh() override;
  void Enter() override;

  // Reads the computer's pointer settings and shows them on the three bars: at start-up and
  // after every complete read of the mouse, after the pages were filled.
  void RefreshPointerSettings();
  const performance::PointerSettingsPageState& PointerSettings() const { return pointer_; }

  // Level 1..8 caption: enables the next level or disables the last one.
  void DPILevel_OnClick(int level);
  // Level 1..8 marker: the level becomes the current one.
  void CurrentDPI_OnClick(int level);
  // Segment 1..12 of level 1..8.
  void DPIValue_OnClick(int level, int segment);
  // The colour of level 1..8, from the colour chooser.
  void DPIColour_OnClick(int level);
  // Segment 1..12 of the aim DPI bar.
  void AIMDPIValue_OnClick(int segment);
  // Option 1..4: 125, 250, 500, 1000 Hz.
  void ReportRate_OnClick(int option);
  // Segment 1..10 of a pointer settings bar.
  void PointerBar_OnClick(performance::PointerSetting setting, int segment);

 private:
  void ShowDpiLevels();
  void ShowLevelStep(int level);
  void ShowLevelColour(int level);
  void ShowAimDpi();
  void ShowReportRate();
  void ShowPointerBars();

  performance::PointerSettingsPageState pointer_;
};

}  // namespace corvid::app
