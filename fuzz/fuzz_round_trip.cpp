// An arbitrary target (and arguments and working directory, NUL-separated
// in the input), as SetPath and Save take them: either the path is refused,
// or the shortcut written for it reads back with the same target and
// strings, spelled as the writer normalised them. Bytes after the third NUL,
// when there are 17 or more, are what this machine knows of the target
// (kind, size, times), which go into the header and the ID list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "codec/link_reader.h"
#include "codec/link_writer.h"
#include "codec/target_path.h"
#include "codec/text/unicode.h"
#include "codec/windows_path.h"

namespace {

// Relative targets resolve against this; a fixed folder keeps runs repeatable.
constexpr std::string_view kCurrentDirectory = "/home/morvik/work";

// What a string becomes once it has gone through UTF-16: damaged UTF-8 is
// U+FFFD, as the platform's MultiByteToWideChar makes it.
std::string through_utf16(std::string_view text) {
  return morvik::codec::utf16_to_utf8(morvik::codec::utf8_to_utf16(text));
}

std::string_view next_field(std::string_view& input) {
  const std::size_t end = input.find('\0');
  const std::string_view field = input.substr(0, end);
  input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  return field;
}

std::uint64_t u64_at(std::string_view bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

morvik::codec::TargetFacts facts_of(std::string_view bytes) {
  morvik::codec::TargetFacts facts;
  if (bytes.size() < 17) return facts;
  facts.exists = true;
  facts.is_directory = (bytes[0] & 1) != 0;
  facts.attributes = static_cast<std::uint32_t>(u64_at(bytes, 1));
  facts.size = u64_at(bytes, 1);
  facts.write_time = u64_at(bytes, 9);
  facts.creation_time = facts.write_time / 2;
  facts.access_time = ~facts.write_time;
  return facts;
}

[[noreturn]] void fail(const char* what, const std::string& expected, const std::string& got) {
  std::fprintf(stderr, "round trip: %s\n  expected: %s\n  got:      %s\n", what, expected.c_str(), got.c_str());
  std::abort();
}

void expect_string(const char* what, std::string_view written, const std::optional<std::string>& read) {
  if (written.empty()) {
    if (read) fail(what, "(absent)", *read);
    return;
  }
  const std::string expected = through_utf16(written);
  if (!read) fail(what, expected, "(absent)");
  if (*read != expected) fail(what, expected, *read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view target = next_field(input);
  const std::string_view arguments = next_field(input);
  const std::string_view working_directory = next_field(input);
  const morvik::codec::TargetFacts facts = facts_of(input);

  auto path = morvik::codec::parse_windows_path(target, kCurrentDirectory);
  if (!path) return 0;  // refused by SetPath: nothing is written
  const auto bytes = morvik::codec::write_link(
      {*path, facts, std::string(arguments), std::string(working_directory)});
  if (!bytes) return 0;  // strings longer than the format holds

  const auto link = morvik::codec::parse_link(*bytes);
  if (!link) fail("the written file does not read back", path->to_string(), link.error().message);
  const std::string expected = through_utf16(path->to_string());
  const std::string got = morvik::codec::target_path_of(*link);
  if (got != expected) fail("target", expected, got);
  expect_string("arguments", arguments, link->strings.arguments);
  expect_string("working directory", working_directory, link->strings.working_dir);
  if (facts.exists && (link->header.write_time != facts.write_time ||
                       link->header.file_size != static_cast<std::uint32_t>(facts.size)))
    fail("header times and size", std::to_string(facts.write_time), std::to_string(link->header.write_time));
  return 0;
}
