#pragma once

#include "app/pages/page_view.h"

namespace corvid::app {

// The Advanced page: DPI levels, aim DPI, report rate, fire keys and the pointer settings.
class AdvancedPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;
};

}  // namespace corvid::app
