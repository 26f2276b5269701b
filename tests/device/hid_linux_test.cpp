#include "device/hid_linux.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace corvid::device {
namespace {

namespace fs = std::filesystem;

// A mouse collection with no feature reports and a vendor collection with 8-byte feature reports
// 0x40 and 0x41.
const std::vector<std::uint8_t> kMouseAndVendor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09,
    0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0xC0, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1,
    0x01, 0x85, 0x40, 0x75, 0x08, 0x95, 0x07, 0xB1, 0x02, 0x85, 0x41, 0xB1, 0x02, 0xC0,
};

// A sysfs tree in a temporary folder with the hidraw nodes a test gives it.
class FakeSysfs {
 public:
  FakeSysfs()
      : root_(fs::temp_directory_path() /
              ("corvid-sysfs-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++))) {
    fs::create_directories(root_);
  }
  ~FakeSysfs() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void AddNode(const std::string& node, const std::vector<std::uint8_t>& descriptor) {
    const fs::path folder = root_ / "class" / "hidraw" / node / "device";
    fs::create_directories(folder);
    std::ofstream(folder / "report_descriptor", std::ios::binary)
        .write(reinterpret_cast<const char*>(descriptor.data()),
               static_cast<std::streamsize>(descriptor.size()));
  }

  const fs::path& Root() const { return root_; }

 private:
  static inline int counter_ = 0;
  fs::path root_;
};

TEST(HidrawDescriptorTest, ReadsTheDescriptorOfTheNodeNamedByTheDevicePath) {
  FakeSysfs sysfs;
  sysfs.AddNode("hidraw3", kMouseAndVendor);
  sysfs.AddNode("hidraw4", {0x05, 0x01});

  EXPECT_EQ(ReadHidrawReportDescriptor(sysfs.Root(), "/dev/hidraw3"), kMouseAndVendor);
  EXPECT_EQ(ReadHidrawReportDescriptor(sysfs.Root(), "/dev/hidraw4"),
            (std::vector<std::uint8_t>{0x05, 0x01}));
  // A node that is gone, and paths that are not hidraw nodes or would leave the sysfs tree.
  for (const std::string path : {"/dev/hidraw9", "/dev/hidraw", "/dev/hidraw3/..", "/dev/hidraw3x",
                                 "/dev/../hidraw3/../../etc", ""}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ReadHidrawReportDescriptor(sysfs.Root(), path), std::nullopt);
  }
}

TEST(HidrawDescriptorTest, MatchesEachListedCollectionToItsFeatureLength) {
  const ReportDescriptorResult parsed = ParseReportDescriptor(kMouseAndVendor);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  struct Case {
    std::uint16_t usagePage;
    std::uint16_t usage;
    int length;
  };
  const Case cases[] = {
      {0xFF00, 0x01, 8},  // the vendor collection
      {0x01, 0x02, 0},    // the mouse collection has no feature reports
      {0x00, 0x00, 8},    // unknown usage: the node's largest, which the node can carry
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.usagePage << "/" << c.usage);
    EXPECT_EQ(FeatureReportLengthOfCollection(parsed.summary, c.usagePage, c.usage), c.length);
  }
}

TEST(LinuxHidBusTest, OpenTellsMissingNodesFromForbiddenOnesAndRejectsUnknownHandles) {
  LinuxHidBus bus("/nonexistent-sysfs");
  const fs::path missing = fs::temp_directory_path() / "corvid-no-such-hidraw";
  EXPECT_EQ(bus.Open(missing.string()).status, OpenStatus::kFailed);
  EXPECT_EQ(bus.Open(missing.string()).handle, kNoHandle);

  std::uint8_t report[8] = {0x41};
  EXPECT_FALSE(bus.SendFeatureReport(kNoHandle, report));
  EXPECT_FALSE(bus.GetFeatureReport(7, report));
  bus.Close(7);  // harmless

  // Root may open any file: the permission case runs as a user without root, in a child.
  FakeSysfs folder;
  const fs::path forbidden = folder.Root() / "hidraw0";
  std::ofstream(forbidden).put('\0');
  fs::permissions(forbidden, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(folder.Root(), fs::perms::all);
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() == 0 && nobody == nullptr) GTEST_SKIP() << "runs as root and has no 'nobody'";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                             ::setuid(nobody->pw_uid) != 0)) {
      ::_exit(10);
    }
    LinuxHidBus userBus("/nonexistent-sysfs");
    const OpenResult result = userBus.Open(forbidden.string());
    ::_exit(result.status == OpenStatus::kPermissionDenied && result.handle == kNoHandle ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot drop root; 11: not taken as forbidden";
}

}  // namespace
}  // namespace corvid::device
