#pragma once

// The storage kinds belong to the device layer, which learns them from the mouse; the model uses
// the same names.
#include "device/storage_kind.h"

namespace corvid::model {

using device::kStorageMarkerFlash;
using device::kStorageMarkerI2C;
using device::StorageKind;
using device::StorageKindFromText;
using device::StorageKindOfMarker;
using device::StorageKindText;
using device::StorageMarkerFor;

}  // namespace corvid::model
