#pragma once

#include "app/pages/page_view.h"

namespace corvid::app {

// The Breathing Light page: the LED mode, the seven colours and the step time. Which modes and
// whether colours exist depend on the LED family of the mouse. Every click goes through the same
// operation as the command line and writes at once.
class LightPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void Connect() override;
  void Refresh() override;

  // Mode 0 (off) or 1..5.
  void RGBMode_OnClick(int mode);
  // Segment 1..10 of the step-time bar.
  void FallTime_OnClick(int segment);
  // Colour 1..7, from the colour chooser.
  void Colour_OnClick(int colour);

 private:
  void ShowModes();
  void ShowStepTime();
  void ShowColour(int colour);
};

}  // namespace corvid::app
