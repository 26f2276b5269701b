#include "performance/report_rate.h"

namespace corvid::performance {

bool ReconnectNeeded(model::UsbReportRate chosen, int loadedReportRate) {
  switch (chosen) {
    case model::UsbReportRate::Hz125:
      return false;
    case model::UsbReportRate::Hz250:
      return loadedReportRate == 125;
    case model::UsbReportRate::Hz500:
      return loadedReportRate == 125 || loadedReportRate == 250;
    case model::UsbReportRate::Hz1000:
      return loadedReportRate != 1000;
  }
  return false;
}

PageResult SetReportRate(session::Session& session, DpiPageState& state,
                         model::UsbReportRate rate) {
  if (const auto refusal = RefusePageClick(session)) return *refusal;

  state.checkedReportRate = rate;
  // Under WriteLock DataBuf keeps its rate; the page gives it back before a profile save.
  if (session.WriteLock()) return PageResult::kLocked;

  model::ParameterSection& parameter = session.DataBuf().Parameter();
  parameter.SetReportRate(rate);
  // Decided against the rate of the last fill, not of the last click.
  if (ReconnectNeeded(rate, state.LoadedReportRate)) state.ReconnectPending = true;
  ParameterWriter writer(session);
  writer.Write(model::kReportRateByteOffset, parameter.ReportRateByte());
  if (!state.ReconnectPending) return writer.Result();

  session.Observer().SetDevTimerEnabled(false);
  state.ReconnectPending = false;
  session.RestartAndReconnect();
  if (writer.Result() != PageResult::kWritten) return writer.Result();
  if (session.State() == session::ConnectionState::kConnected) return PageResult::kWritten;
  return session.IsConnected() ? PageResult::kRefused : PageResult::kNoMouse;
}

}  // namespace corvid::performance
