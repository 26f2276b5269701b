#pragma once

#include "app/pages/page_view.h"

namespace corvid::app {

// The fire keys and the aim key on the Advanced page: the repeat and delay fields, the continue
// markers, and the aim key's message.
class FireKeysView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;
};

}  // namespace corvid::app
