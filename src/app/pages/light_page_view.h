#pragma once

#include "app/pages/page_view.h"

namespace corvid::app {

// The Breathing Light page: the LED mode, the seven colours and the step time.
class LightPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;
};

}  // namespace corvid::app
