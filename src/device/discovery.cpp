#include "device/discovery.h"

#include "device/feature_report.h"

namespace corvid::device {

void EmptyDeviceLink(HidBus& bus, DeviceLink& link) {
  if (link.CommandHandle != kNoHandle) bus.Close(link.CommandHandle);
  if (link.DataHandle != kNoHandle && link.DataHandle != link.CommandHandle) {
    bus.Close(link.DataHandle);
  }
  link.VendorId = 0;
  link.ProductId = 0;
  link.CommandHandle = kNoHandle;
  link.DataHandle = kNoHandle;
}

VidPidTable VidPidTable::FromDefaultImage(std::span<const std::uint8_t> image) {
  VidPidTable table;
  if (image.size() >= 6) {
    table.entries[0].vendorId = image[2] * 256U + image[3];
    table.entries[0].productId = image[4] * 256U + image[5];
  }
  return table;
}

int CountHidInterfaces(HidBus& bus) {
  int count = 0;
  for (const HidInterfaceInfo& info : bus.ListInterfaces()) {
    const OpenResult opened = bus.Open(info.path);
    if (opened.status == OpenStatus::kOpened) {
      ++count;
      bus.Close(opened.handle);
    } else if (opened.status == OpenStatus::kPermissionDenied) {
      ++count;
    }
  }
  return count;
}

namespace {

// Gives `handle` a role, closing the handle it replaces unless that one still holds the other role.
void TakeRole(HidBus& bus, HidHandle& role, HidHandle otherRole, HidHandle handle) {
  const HidHandle replaced = role;
  role = handle;
  if (replaced != kNoHandle && replaced != handle && replaced != otherRole) bus.Close(replaced);
}

}  // namespace

OpenMouseResult OpenMouse(HidBus& bus, DeviceLink& link, std::uint32_t vendorId,
                          std::uint32_t productId) {
  OpenMouseResult result;
  for (const HidInterfaceInfo& info : bus.ListInterfaces()) {
    const bool wanted = IsMouseInterface(info, vendorId, productId);
    const OpenResult opened = bus.Open(info.path);
    if (opened.status != OpenStatus::kOpened) {
      if (wanted && opened.status == OpenStatus::kPermissionDenied) {
        result.inaccessiblePaths.push_back(info.path);
      }
      continue;
    }
    const HidHandle handle = opened.handle;
    if (!wanted) {
      bus.Close(handle);
      continue;
    }

    result.matched = true;
    link.VendorId = info.vendorId;
    link.ProductId = info.productId;
    link.FeatureReportLength = info.featureReportLength;

    const FeatureReport commandProbe = MakeCommandReport(kCommandDeviceInfo, 0, 0, 0, 0);
    if (bus.SendFeatureReport(handle, commandProbe)) {
      TakeRole(bus, link.CommandHandle, link.DataHandle, handle);
    }
    FeatureReport readBackProbe = MakeReadBackRequest();
    if (bus.GetFeatureReport(handle, readBackProbe)) {
      TakeRole(bus, link.DataHandle, link.CommandHandle, handle);
    }
    if (link.CommandHandle != handle && link.DataHandle != handle) bus.Close(handle);
  }
  return result;
}

}  // namespace corvid::device
