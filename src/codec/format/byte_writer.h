// Little-endian output for the writer. Sizes that the format stores in 16 or
// 32 bits are checked by the callers before they get here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "codec/format/constants.h"

namespace morvik::codec {

class ByteWriter {
 public:
  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

  void u8(std::uint8_t value) { bytes_.push_back(value); }
  void u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
  }
  void u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
  }
  void u64(std::uint64_t value) {
    u32(static_cast<std::uint32_t>(value));
    u32(static_cast<std::uint32_t>(value >> 32));
  }
  void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  void raw(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void guid(const Guid& value) { raw(value); }
  // Bytes followed by a NUL.
  void ansi_z(std::string_view text) {
    for (const char c : text) u8(static_cast<std::uint8_t>(c));
    u8(0);
  }
  // UTF-16LE units, optionally followed by a NUL unit.
  void utf16(std::u16string_view text, bool terminate) {
    for (const char16_t unit : text) u16(unit);
    if (terminate) u16(0);
  }
  // Overwrites a value written earlier, once its size is known.
  void patch_u16(std::size_t at, std::uint16_t value) {
    bytes_[at] = static_cast<std::uint8_t>(value);
    bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  void patch_u32(std::size_t at, std::uint32_t value) {
    patch_u16(at, static_cast<std::uint16_t>(value));
    patch_u16(at + 2, static_cast<std::uint16_t>(value >> 16));
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace morvik::codec
