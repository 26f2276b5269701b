#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "sim/stand_in_mouse.h"

namespace corvid::sim {

// The stand-in mouse saved between runs: a 24-byte header with its configuration, then bank 0,
// bank 1 and the 64 KiB memory. Numbers are big-endian, as in the mouse.
inline constexpr std::size_t kStateHeaderSize = 24;
inline constexpr std::size_t kStateFileSize = kStateHeaderSize + device::kParameterSectionSize +
                                              device::kProfileSectionSize + device::kMemorySize;

std::vector<std::uint8_t> EncodeState(const StandInMouse& mouse);

struct DecodedState {
  std::unique_ptr<StandInMouse> mouse;  // null when the bytes were refused
  std::string error;                    // why they were refused
};

DecodedState DecodeState(std::span<const std::uint8_t> bytes, device::Clock& clock);

common::FileResult SaveState(const StandInMouse& mouse, const std::filesystem::path& path);
DecodedState LoadState(const std::filesystem::path& path, device::Clock& clock);

}  // namespace corvid::sim
