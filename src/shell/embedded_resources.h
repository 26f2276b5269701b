#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace corvid::shell {

// One data file carried inside the program.
struct EmbeddedResource {
  std::string_view name;
  std::span<const std::uint8_t> bytes;
};

// Every resource of the build, generated from the resources folder (cmake/EmbedResources.cmake).
std::span<const EmbeddedResource> EmbeddedResources();

}  // namespace corvid::shell
