#pragma once

#include "app/pages/page_view.h"

namespace corvid::app {

// The macro page: the PC library, the mouse's macros, the recorder and the step editor.
class MacroPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void ApplyTexts(const shell::LanguageFile& texts) override;
};

}  // namespace corvid::app
