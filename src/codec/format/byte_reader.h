// The one bounded cursor over file bytes. Every read is checked against the
// bytes the reader was given; nested structures read through `slice`, so a
// parser cannot leave the size its container declared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "codec/format/constants.h"

namespace morvik::codec {

class ByteReader {
 public:
  // `base` is the offset of `bytes` in the whole file, for error messages.
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0)
      : bytes_(bytes), base_(base) {}

  std::size_t position() const { return position_; }
  std::size_t remaining() const { return bytes_.size() - position_; }
  std::size_t size() const { return bytes_.size(); }
  // Offset of the cursor in the whole file.
  std::size_t file_offset() const { return base_ + position_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  std::optional<std::uint8_t> u8();
  std::optional<std::uint16_t> u16();
  std::optional<std::uint32_t> u32();
  std::optional<std::uint64_t> u64();
  std::optional<Guid> guid();
  std::optional<std::span<const std::uint8_t>> take(std::size_t count);
  bool skip(std::size_t count);
  bool seek(std::size_t offset);

  // A reader over [offset, offset + size) of this reader's bytes, or nothing
  // when that range does not lie inside them (overflow included).
  std::optional<ByteReader> slice(std::size_t offset, std::size_t size) const;
  // A reader over the next `size` bytes, moving the cursor past them.
  std::optional<ByteReader> take_reader(std::size_t size);

  // NUL-terminated strings starting at the cursor; the cursor moves past
  // the terminator. Nothing when no terminator lies inside the bytes.
  std::optional<std::string> ansi_string();               // raw bytes
  std::optional<std::u16string> utf16_string();           // raw units
  // `count` UTF-16 units, no terminator.
  std::optional<std::u16string> utf16_units(std::size_t count);

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t base_;
  std::size_t position_ = 0;
};

}  // namespace morvik::codec
