#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvid::device {

// One top-level collection of a HID report descriptor.
struct TopLevelCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  // The largest feature report of the collection in bytes, with one byte for the report ID in front
  // (a report ID of 0 when the descriptor numbers no reports), as the HID caps of the OS count it;
  // 0 when the collection has no feature reports.
  int featureReportLength = 0;
};

struct ReportDescriptorSummary {
  std::vector<TopLevelCollection> collections;  // in descriptor order
  // The largest featureReportLength of all collections: what the whole interface (one hidraw node)
  // can carry.
  int largestFeatureReportLength = 0;
};

struct ReportDescriptorResult {
  bool ok = false;
  // What was not accepted and at which byte offset; empty when ok.
  std::string error;
  ReportDescriptorSummary summary;
};

// Reads the collections and feature report lengths of a USB HID report descriptor. Stays inside
// `descriptor` whatever its bytes say; a truncated or inconsistent descriptor gives ok == false.
ReportDescriptorResult ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace corvid::device
