// Parse errors as values: a code, the offset in the file and a static
// message. Nothing in the codec throws.
#pragma once

#include <cstddef>
#include <utility>
#include <variant>

namespace morvik::codec {

enum class ErrorCode {
  kTruncated,      // a structure runs past the end of its container
  kBadHeader,      // not a shell link header
  kBadStructure,   // a size or offset that cannot be right
  kBadPath,        // a target path the format cannot hold
};

struct Error {
  ErrorCode code;
  std::size_t offset;
  const char* message;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : state_(error) {}         // NOLINT: implicit by design

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<T>(state_); }
  const T& value() const { return std::get<T>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<Error>(state_); }

 private:
  std::variant<T, Error> state_;
};

}  // namespace morvik::codec
