#include "shell/resources.h"

#include "shell/ascii_case.h"
#include "shell/embedded_resources.h"

namespace corvid::shell {

std::optional<std::span<const std::uint8_t>> ResourceBytes(std::string_view name) {
  for (const EmbeddedResource& resource : EmbeddedResources()) {
    if (EqualsIgnoringAsciiCase(resource.name, name)) {
      return resource.bytes;
    }
  }
  return std::nullopt;
}

}  // namespace corvid::shell
