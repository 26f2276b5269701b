#include "app/pages/macro_page_view.h"

#include "app/pages/pages.h"

namespace corvid::app {

void MacroPageView::ApplyTexts(const shell::LanguageFile& texts) {
  ApplyMacroPageTexts(Context().controls, texts);
}

}  // namespace corvid::app
