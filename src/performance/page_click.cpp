#include "performance/page_click.h"

namespace corvid::performance {

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0) { Send(offset, b0, 0, 0, 1); }

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1) {
  Send(offset, b0, b1, 0, 2);
}

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  Send(offset, b0, b1, b2, 3);
}

void ParameterWriter::Send(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                           std::uint8_t count) {
  // Every group is sent even after a refused one, so that the mouse ends as close to the page as
  // it can.
  if (!session_.Protocol().WriteParameterBytes(static_cast<std::uint8_t>(offset), b0, b1, b2,
                                               count)) {
    allTaken_ = false;
  }
}

}  // namespace corvid::performance
