#pragma once

#include "app/pages/page_view.h"
#include "device/patch.h"

namespace corvid::app {

// The Update page: a firmware patch chosen from a file and programmed into a Flash mouse.
class UpdatePageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void Connect() override;
  void ApplyTexts(const shell::LanguageFile& texts) override;
  void Enter() override;

  void LoadBinClick();
  void ProgramClick();

 private:
  device::FirmwarePatch patch_;
};

}  // namespace corvid::app
