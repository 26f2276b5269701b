// The Linux HID backend against an emulated hidraw node: umockdev gives the process a sysfs tree
// with the mouse's USB device, HID device and hidraw node, and answers the node's ioctls from the
// stand-in mouse. Enumeration (libudev), the report descriptor in sysfs, open and the feature
// report ioctls all run through the code a user's machine runs. The tests need the preload library
// (umockdev-wrapper) and skip without it.

#include <gtest/gtest.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/clock.h"
#include "device/discovery.h"
#include "device/hid_linux.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/stand_in_mouse.h"
#include "support/recording_busy_window.h"
#include "support/recording_observer.h"

namespace corvid::device {
namespace {

using namespace std::chrono_literals;

constexpr char kNode[] = "/dev/hidraw0";

// A mouse collection without feature reports and the vendor collection that carries the 8-byte
// feature reports 0x40 and 0x41.
const std::vector<std::uint8_t> kReportDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09,
    0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0xC0, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1,
    0x01, 0x85, 0x40, 0x75, 0x08, 0x95, 0x07, 0xB1, 0x02, 0x85, 0x41, 0xB1, 0x02, 0xC0,
};

std::string HexOf(const std::vector<std::uint8_t>& bytes) {
  std::string hex;
  for (const std::uint8_t byte : bytes) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    hex += text;
  }
  return hex;
}

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFU);
  return text;
}

// The testbed and the thread that answers the node's ioctls.
class EmulatedMouse {
 public:
  explicit EmulatedMouse(sim::StandInMouse& mouse) : mouse_(mouse) {
    testbed_ = umockdev_testbed_new();
    const unsigned vendor = mouse.Config().vendorId;
    const unsigned product = mouse.Config().productId;
    const std::string hidName = "0003:" + Hex4(vendor) + ":" + Hex4(product) + ".0001";
    const std::string record =
        "P: /devices/usb1/1-1\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
        "A: idVendor=" +
        Hex4(vendor) + "\nA: idProduct=" + Hex4(product) + "\n\n" + "P: /devices/usb1/1-1/" +
        hidName + "\nE: SUBSYSTEM=hid\n" + "E: HID_ID=0003:0000" + Hex4(vendor) + ":0000" +
        Hex4(product) + "\n" +
        "E: HID_NAME=Stand-in mouse\nE: HID_UNIQ=\nE: HID_PHYS=usb-1/input1\n" +
        "H: report_descriptor=" + HexOf(kReportDescriptor) + "\n\n" + "P: /devices/usb1/1-1/" +
        hidName + "/hidraw/hidraw0\nN: hidraw0\n" + "E: SUBSYSTEM=hidraw\nE: DEVNAME=" + kNode +
        "\nA: dev=240:0\nL: device=../..\n";
    GError* error = nullptr;
    added_ = umockdev_testbed_add_from_string(testbed_, record.c_str(), &error);
    if (!added_) {
      addError_ = error != nullptr ? error->message : "unknown error";
      g_clear_error(&error);
      return;
    }
    server_ = std::thread([this] { Serve(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return loop_ != nullptr || !attachError_.empty(); });
  }

  ~EmulatedMouse() {
    ReleaseHeldReport();
    if (server_.joinable()) {
      {
        std::lock_guard lock(mutex_);
        if (loop_ != nullptr) g_main_loop_quit(loop_);
      }
      server_.join();
    }
    g_object_unref(testbed_);
  }

  EmulatedMouse(const EmulatedMouse&) = delete;
  EmulatedMouse& operator=(const EmulatedMouse&) = delete;

  bool Ready(std::string* why) const {
    if (!added_)
      *why = "cannot add the device: " + addError_;
    else if (!attachError_.empty())
      *why = "cannot attach the ioctl handler: " + attachError_;
    return added_ && attachError_.empty();
  }

  std::string RootDir() const {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::string dir = root;
    g_free(root);
    return dir;
  }

  // From now on the node does not answer feature report reads: the call blocks in the "kernel"
  // until ReleaseHeldReport.
  void HoldReadBacks() { holdReadBacks_ = true; }

  // Answers a read that is being held, and every later one.
  void ReleaseHeldReport() {
    holdReadBacks_ = false;
    std::lock_guard lock(mutex_);
    if (held_ == nullptr || loop_ == nullptr) return;
    // Completed on the server thread, where the client lives.
    g_main_context_invoke(
        context_,
        [](gpointer self) -> gboolean {
          static_cast<EmulatedMouse*>(self)->AnswerHeld();
          return G_SOURCE_REMOVE;
        },
        this);
  }

  int HeldCount() const { return heldCount_; }

 private:
  void Serve() {
    context_ = g_main_context_new();
    g_main_context_push_thread_default(context_);
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(&EmulatedMouse::OnIoctl), this);
    GError* error = nullptr;
    GMainLoop* loop = nullptr;
    if (umockdev_testbed_attach_ioctl(testbed_, kNode, handler, &error)) {
      loop = g_main_loop_new(context_, FALSE);
    }
    {
      std::lock_guard lock(mutex_);
      if (loop == nullptr) {
        attachError_ = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
      }
      loop_ = loop;
    }
    changed_.notify_all();
    if (loop != nullptr) {
      g_main_loop_run(loop);
      AnswerHeld();
      umockdev_testbed_detach_ioctl(testbed_, kNode, nullptr);
      g_main_loop_unref(loop);
    }
    g_object_unref(handler);
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    return static_cast<EmulatedMouse*>(self)->Handle(client);
  }

  gboolean Handle(UMockdevIoctlClient* client) {
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    const unsigned size = _IOC_SIZE(request);
    GError* error = nullptr;
    if (request == HIDIOCGRDESCSIZE) {
      int length = static_cast<int>(kReportDescriptor.size());
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(argument, 0, sizeof length, &error);
      if (data == nullptr) return Fail(client, error);
      umockdev_ioctl_data_update(data, 0, reinterpret_cast<guint8*>(&length), sizeof length);
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    const bool isSet = request == HIDIOCSFEATURE(size);
    const bool isGet = request == HIDIOCGFEATURE(size);
    if (!isSet && !isGet) {
      umockdev_ioctl_client_complete(client, -1, ENOTTY);
      return TRUE;
    }
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(argument, 0, size, &error);
    if (data == nullptr) return Fail(client, error);
    std::vector<std::uint8_t> report(data->data, data->data + size);
    if (isSet) {
      const bool taken = mouse_.SetFeature(0, report);
      umockdev_ioctl_client_complete(client, taken ? static_cast<glong>(size) : -1,
                                     taken ? 0 : EPIPE);
      return TRUE;
    }
    if (holdReadBacks_) {
      std::lock_guard lock(mutex_);
      held_ = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
      ++heldCount_;
      return TRUE;
    }
    Answer(client, data, report);
    return TRUE;
  }

  void Answer(UMockdevIoctlClient* client, UMockdevIoctlData* data,
              std::vector<std::uint8_t>& report) {
    if (!mouse_.GetFeature(0, report)) {
      umockdev_ioctl_client_complete(client, -1, EPIPE);
      return;
    }
    umockdev_ioctl_data_update(data, 0, report.data(), static_cast<gint>(report.size()));
    umockdev_ioctl_client_complete(client, static_cast<glong>(report.size()), 0);
  }

  void AnswerHeld() {
    UMockdevIoctlClient* client = nullptr;
    {
      std::lock_guard lock(mutex_);
      std::swap(client, held_);
    }
    if (client == nullptr) return;
    const unsigned size = _IOC_SIZE(umockdev_ioctl_client_get_request(client));
    UMockdevIoctlData* data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, nullptr);
    if (data != nullptr) {
      std::vector<std::uint8_t> report(data->data, data->data + size);
      Answer(client, data, report);
    } else {
      umockdev_ioctl_client_complete(client, -1, EIO);
    }
    g_object_unref(client);
  }

  static gboolean Fail(UMockdevIoctlClient* client, GError* error) {
    g_clear_error(&error);
    umockdev_ioctl_client_complete(client, -1, EFAULT);
    return TRUE;
  }

  sim::StandInMouse& mouse_;
  UMockdevTestbed* testbed_ = nullptr;
  bool added_ = false;
  std::string addError_;
  std::thread server_;
  std::mutex mutex_;
  std::condition_variable changed_;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::string attachError_;
  std::atomic<bool> holdReadBacks_ = false;
  UMockdevIoctlClient* held_ = nullptr;
  std::atomic<int> heldCount_ = 0;
};

class LinuxHidBusUnderUmockdev : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
      GTEST_SKIP() << "needs the umockdev preload library: run under umockdev-wrapper";
    }
    const auto image = *shell::ResourceBytes("Corvid88Data");
    mouse.SetBank(0, image.subspan(0, 104));
    mouse.SetBank(1, image.subspan(104, 145));
    emulated = std::make_unique<EmulatedMouse>(mouse);
    std::string why;
    ASSERT_TRUE(emulated->Ready(&why)) << why;
  }

  FakeClock clock;
  sim::StandInMouse mouse{{}, clock};
  std::unique_ptr<EmulatedMouse> emulated;
};

TEST_F(LinuxHidBusUnderUmockdev, ListsTheNodeWithItsIdsAndFeatureLength) {
  LinuxHidBus bus;
  const std::vector<HidInterfaceInfo> interfaces = bus.ListInterfaces();
  ASSERT_FALSE(interfaces.empty());  // hidapi lists one entry per collection usage
  int withFeatureReports = 0;
  for (const HidInterfaceInfo& info : interfaces) {
    EXPECT_EQ(info.path, kNode);
    EXPECT_EQ(info.vendorId, mouse.Config().vendorId);
    EXPECT_EQ(info.productId, mouse.Config().productId);
    // The mouse collection has no feature reports; the vendor collection's are 8 bytes (a usage
    // that matches no collection gets the largest, which the node can carry).
    EXPECT_TRUE(info.featureReportLength == 0 || info.featureReportLength == 8);
    if (info.featureReportLength == 8) ++withFeatureReports;
  }
  EXPECT_GE(withFeatureReports, 1);
}

// The poll finds the mouse, probes it, identifies it and reads it in full; a page's write reaches
// the mouse's memory.
TEST_F(LinuxHidBusUnderUmockdev, ASessionFindsReadsAndWritesTheMouse) {
  mouse.Bank(0)[38] = 0x21;
  LinuxHidBus bus;
  std::ostringstream log;
  testing_support::RecordingBusyWindow busy{log};
  testing_support::RecordingObserver observer;
  session::Session session{bus, clock, busy, observer, session::BuiltInSetup()};
  session.InitNoDevice();
  session.DevTimerTimer();
  ASSERT_EQ(session.State(), session::ConnectionState::kConnected) << observer.lastMessage.text;
  EXPECT_EQ(session.Link().CommandHandle, session.Link().DataHandle);
  EXPECT_EQ(session.DataBuf().Parameter().DpiLevelByte(), 0x21);
  EXPECT_TRUE(std::ranges::equal(session.DeviceImage().sections.profile.Data(), mouse.Bank(1)));

  ASSERT_TRUE(session.Protocol().WriteParameterBytes(52, 0x12, 0x34, 0, 2));
  EXPECT_EQ(mouse.Bank(0)[52], 0x12);
  EXPECT_EQ(mouse.Bank(0)[53], 0x34);
}

// A node that does not answer a read-back must not hold the tool: the call fails after the
// time-out and says why, the handle refuses reports while the call is still blocked, and takes them
// again once the node has answered.
TEST_F(LinuxHidBusUnderUmockdev, AReportTheNodeDoesNotAnswerTimesOut) {
  LinuxHidBus bus("/sys", 200ms);
  const OpenResult opened = bus.Open(kNode);
  ASSERT_EQ(opened.status, OpenStatus::kOpened);
  const HidHandle handle = opened.handle;

  emulated->HoldReadBacks();
  FeatureReport report{0x41};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(bus.GetFeatureReport(handle, report));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_EQ(bus.LastError(handle), "the device did not answer within 200 ms");
  EXPECT_EQ(emulated->HeldCount(), 1);

  const FeatureReport command{0x40, 0x0D};
  EXPECT_FALSE(bus.SendFeatureReport(handle, command));
  EXPECT_EQ(bus.LastError(handle), "the device has not answered an earlier report yet");

  emulated->ReleaseHeldReport();
  bool answered = false;
  for (int attempt = 0; attempt < 100 && !answered; ++attempt) {
    answered = bus.SendFeatureReport(handle, command);
    if (!answered) std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(answered);
  FeatureReport readBack{0x41};
  EXPECT_TRUE(bus.GetFeatureReport(handle, readBack));
  EXPECT_EQ(readBack[0], 0x41);
}

TEST_F(LinuxHidBusUnderUmockdev, AHandleClosedWhileItsReportIsBlockedIsClosedLater) {
  auto bus = std::make_unique<LinuxHidBus>("/sys", 100ms);
  const OpenResult opened = bus->Open(kNode);
  ASSERT_EQ(opened.status, OpenStatus::kOpened);
  emulated->HoldReadBacks();
  FeatureReport report{0x41};
  EXPECT_FALSE(bus->GetFeatureReport(opened.handle, report));
  bus->Close(opened.handle);
  EXPECT_EQ(bus->LastError(opened.handle), "the device is not open");
  bus.reset();
  // The blocked call returns into a bus that is gone; its thread closes the node.
  emulated->ReleaseHeldReport();
  std::this_thread::sleep_for(50ms);
}

}  // namespace
}  // namespace corvid::device
