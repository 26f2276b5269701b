#include "device/report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>

namespace corvid::device {
namespace {

// Item types and tags of the short items that matter for report lengths.
constexpr std::uint8_t kTypeMain = 0;
constexpr std::uint8_t kTypeGlobal = 1;
constexpr std::uint8_t kTypeLocal = 2;

constexpr std::uint8_t kMainInput = 0x8;
constexpr std::uint8_t kMainOutput = 0x9;
constexpr std::uint8_t kMainCollection = 0xA;
constexpr std::uint8_t kMainFeature = 0xB;
constexpr std::uint8_t kMainEndCollection = 0xC;

constexpr std::uint8_t kGlobalUsagePage = 0x0;
constexpr std::uint8_t kGlobalReportSize = 0x7;
constexpr std::uint8_t kGlobalReportId = 0x8;
constexpr std::uint8_t kGlobalReportCount = 0x9;
constexpr std::uint8_t kGlobalPush = 0xA;
constexpr std::uint8_t kGlobalPop = 0xB;

constexpr std::uint8_t kLocalUsage = 0x0;

constexpr std::uint8_t kLongItemPrefix = 0xFE;

// No HID transport carries a report this long; a descriptor that declares one is broken, and the
// bound keeps the bit counts far from overflow.
constexpr std::uint64_t kMaxReportBytes = 16384;

struct GlobalState {
  std::uint16_t usagePage = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;
};

struct Usage {
  std::uint16_t page = 0;
  std::uint16_t id = 0;
};

class Parser {
 public:
  explicit Parser(std::span<const std::uint8_t> descriptor) : descriptor_(descriptor) {}

  ReportDescriptorResult Run() {
    std::size_t offset = 0;
    while (offset < descriptor_.size()) {
      itemOffset_ = offset;
      const std::uint8_t prefix = descriptor_[offset];
      if (prefix == kLongItemPrefix) {
        // Long items carry no length information we use; skip them whole.
        if (descriptor_.size() - offset < 3) return Fail("long item header is cut off");
        const std::size_t dataSize = descriptor_[offset + 1];
        if (descriptor_.size() - offset - 3 < dataSize) return Fail("long item data is cut off");
        offset += 3 + dataSize;
        continue;
      }
      const std::size_t sizeCode = prefix & 0x03;
      const std::size_t dataSize = sizeCode == 3 ? 4 : sizeCode;
      if (descriptor_.size() - offset - 1 < dataSize) return Fail("item data is cut off");
      std::uint32_t value = 0;
      for (std::size_t i = 0; i < dataSize; ++i) {
        value |= static_cast<std::uint32_t>(descriptor_[offset + 1 + i]) << (8 * i);
      }
      const std::uint8_t type = (prefix >> 2) & 0x03;
      const std::uint8_t tag = prefix >> 4;
      offset += 1 + dataSize;

      bool accepted = true;
      if (type == kTypeMain) {
        accepted = MainItem(tag);
        localUsage_.reset();  // local items describe only the next main item
      } else if (type == kTypeGlobal) {
        accepted = GlobalItem(tag, value);
      } else if (type == kTypeLocal) {
        LocalItem(tag, value, dataSize);
      }
      if (!accepted) return result_;
    }
    if (depth_ != 0) {
      itemOffset_ = descriptor_.size();
      return Fail("a collection is not closed");
    }
    for (const TopLevelCollection& collection : result_.summary.collections) {
      result_.summary.largestFeatureReportLength =
          std::max(result_.summary.largestFeatureReportLength, collection.featureReportLength);
    }
    result_.ok = true;
    return result_;
  }

 private:
  bool MainItem(std::uint8_t tag) {
    switch (tag) {
      case kMainCollection:
        if (depth_ == 0) {
          TopLevelCollection collection;
          if (localUsage_) {
            collection.usagePage = localUsage_->page;
            collection.usage = localUsage_->id;
          }
          result_.summary.collections.push_back(collection);
          featureBits_.clear();
        }
        ++depth_;
        return true;
      case kMainEndCollection:
        if (depth_ == 0) {
          Fail("end of a collection that was never opened");
          return false;
        }
        --depth_;
        return true;
      case kMainFeature:
        return AddFeatureField();
      case kMainInput:
      case kMainOutput:
      default:
        // Input and output reports do not bear on the feature report length.
        return true;
    }
  }

  bool AddFeatureField() {
    // A field outside every collection belongs to no collection the OS would list.
    if (depth_ == 0) return true;
    const std::uint64_t fieldBits =
        static_cast<std::uint64_t>(global_.reportSize) * global_.reportCount;
    std::uint64_t& bits = featureBits_[global_.reportId];
    bits += std::min(fieldBits, kMaxReportBytes * 8 + 1);
    if (bits > kMaxReportBytes * 8) {
      Fail("feature report is longer than any HID report can be");
      return false;
    }
    // The report ID byte comes first even when the descriptor numbers no reports (it is then 0).
    const int length = static_cast<int>((bits + 7) / 8) + 1;
    TopLevelCollection& collection = result_.summary.collections.back();
    collection.featureReportLength = std::max(collection.featureReportLength, length);
    return true;
  }

  bool GlobalItem(std::uint8_t tag, std::uint32_t value) {
    switch (tag) {
      case kGlobalUsagePage:
        global_.usagePage = static_cast<std::uint16_t>(value);
        return true;
      case kGlobalReportSize:
        global_.reportSize = value;
        return true;
      case kGlobalReportCount:
        global_.reportCount = value;
        return true;
      case kGlobalReportId:
        if (value == 0 || value > 0xFF) {
          Fail("report ID " + std::to_string(value) + " is outside 1..255");
          return false;
        }
        global_.reportId = static_cast<std::uint8_t>(value);
        return true;
      case kGlobalPush:
        pushed_.push_back(global_);
        return true;
      case kGlobalPop:
        if (pushed_.empty()) {
          Fail("pop without a matching push");
          return false;
        }
        global_ = pushed_.back();
        pushed_.pop_back();
        return true;
      default:
        return true;
    }
  }

  void LocalItem(std::uint8_t tag, std::uint32_t value, std::size_t dataSize) {
    // Only the first usage names a collection.
    if (tag != kLocalUsage || localUsage_) return;
    if (dataSize == 4) {
      // An extended usage carries its own page in the upper half.
      localUsage_ = Usage{static_cast<std::uint16_t>(value >> 16),
                          static_cast<std::uint16_t>(value & 0xFFFF)};
    } else {
      localUsage_ = Usage{global_.usagePage, static_cast<std::uint16_t>(value)};
    }
  }

  ReportDescriptorResult Fail(const std::string& what) {
    result_.ok = false;
    result_.error = "byte " + std::to_string(itemOffset_) + ": " + what;
    result_.summary = {};
    return result_;
  }

  std::span<const std::uint8_t> descriptor_;
  std::size_t itemOffset_ = 0;
  GlobalState global_;
  std::vector<GlobalState> pushed_;
  std::optional<Usage> localUsage_;
  int depth_ = 0;
  std::map<std::uint8_t, std::uint64_t> featureBits_;  // per report ID, current collection
  ReportDescriptorResult result_;
};

}  // namespace

ReportDescriptorResult ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
  return Parser(descriptor).Run();
}

}  // namespace corvid::device
