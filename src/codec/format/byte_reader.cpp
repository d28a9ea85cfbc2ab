#include "codec/format/byte_reader.h"

#include <cstring>

namespace morvik::codec {

std::optional<std::uint8_t> ByteReader::u8() {
  if (remaining() < 1) return std::nullopt;
  return bytes_[position_++];
}

std::optional<std::uint16_t> ByteReader::u16() {
  if (remaining() < 2) return std::nullopt;
  const auto value = static_cast<std::uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
  position_ += 2;
  return value;
}

std::optional<std::uint32_t> ByteReader::u32() {
  if (remaining() < 4) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes_[position_ + static_cast<std::size_t>(i)];
  position_ += 4;
  return value;
}

std::optional<std::uint64_t> ByteReader::u64() {
  if (remaining() < 8) return std::nullopt;
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes_[position_ + static_cast<std::size_t>(i)];
  position_ += 8;
  return value;
}

std::optional<Guid> ByteReader::guid() {
  const auto raw = take(16);
  if (!raw) return std::nullopt;
  Guid value;
  std::memcpy(value.data(), raw->data(), value.size());
  return value;
}

std::optional<std::span<const std::uint8_t>> ByteReader::take(std::size_t count) {
  if (remaining() < count) return std::nullopt;
  const auto part = bytes_.subspan(position_, count);
  position_ += count;
  return part;
}

bool ByteReader::skip(std::size_t count) { return take(count).has_value(); }

bool ByteReader::seek(std::size_t offset) {
  if (offset > bytes_.size()) return false;
  position_ = offset;
  return true;
}

std::optional<ByteReader> ByteReader::slice(std::size_t offset, std::size_t size) const {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return std::nullopt;
  return ByteReader(bytes_.subspan(offset, size), base_ + offset);
}

std::optional<ByteReader> ByteReader::take_reader(std::size_t size) {
  auto part = slice(position_, size);
  if (part) position_ += size;
  return part;
}

std::optional<std::string> ByteReader::ansi_string() {
  for (std::size_t end = position_; end < bytes_.size(); ++end) {
    if (bytes_[end] == 0) {
      std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), end - position_);
      position_ = end + 1;
      return text;
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> ByteReader::utf16_string() {
  for (std::size_t end = position_; end + 1 < bytes_.size(); end += 2) {
    if (bytes_[end] == 0 && bytes_[end + 1] == 0) {
      const std::size_t count = (end - position_) / 2;
      auto text = utf16_units(count);
      position_ += 2;  // the terminator
      return text;
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> ByteReader::utf16_units(std::size_t count) {
  if (count > remaining() / 2) return std::nullopt;
  std::u16string text(count, u'\0');
  for (std::size_t i = 0; i < count; ++i) {
    text[i] = static_cast<char16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
  }
  return text;
}

}  // namespace morvik::codec
