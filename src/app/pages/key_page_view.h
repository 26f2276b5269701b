#pragma once

#include "app/pages/page_view.h"
#include "keys/layer_entry.h"

namespace corvid::app {

// The key page: the twelve key labels of the layer on show.
class KeyPageView final : public PageView {
  Q_OBJECT

 public:
  using PageView::PageView;

  void ApplyTexts(const shell::LanguageFile& texts) override;
  void Refresh() override;
  // A layer was entered with its page button.
  void EnterLayer(const keys::LayerEntry& entry);

 private:
  void ShowKeyCaptions();
};

}  // namespace corvid::app
