// The report descriptor a hidraw node publishes in sysfs: any device can present any bytes.

#include <algorithm>

#include "device/report_descriptor.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvid::device;
  const ReportDescriptorResult result = ParseReportDescriptor({data, size});
  if (!result.ok) {
    FUZZ_CHECK(!result.error.empty());
    return 0;
  }
  int largest = 0;
  for (const TopLevelCollection& collection : result.summary.collections) {
    FUZZ_CHECK(collection.featureReportLength >= 0);
    largest = std::max(largest, collection.featureReportLength);
  }
  FUZZ_CHECK(result.summary.largestFeatureReportLength == largest);
  return 0;
}
