#include "pages/page_model.h"

namespace corvid::pages {

void PageModel::Fill(session::Session& session, const model::DeviceMacroCatalog* macros) {
  const model::DataBuf& dataBuf = session.DataBuf();
  copies.RefreshFrom(dataBuf.Parameter());
  performance::FillDpiPage(dataBuf, dpi);
  performance::FillLightingPage(dataBuf, lighting);
  const model::CodeCaptionContext context = keys::CaptionContextOf(session, macros);
  key = keys::KeyPageStateOf(dataBuf, context);
  fire = keys::WithFireFieldLoad(fire, keys::RefreshFireKey(dataBuf, key.layer, context));
  if (const auto display = keys::RefreshAIMKey(dataBuf, key.layer, context)) {
    aim = display;
    dpi.AimDpiStep = display->aimNumber;
  }
}

void PageModel::ResetForNoDevice() {
  performance::ResetDpiPageForNoDevice(dpi);
  performance::ResetLightingPageForNoDevice(lighting);
}

void PageModel::ToDataBuf(session::Session& session) const {
  performance::DpiPageToDataBuf(dpi, session.DataBuf());
  performance::LightingPageToDataBuf(lighting, session.DataBuf());
}

}  // namespace corvid::pages
