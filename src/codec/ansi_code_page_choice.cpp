#include "codec/ansi_code_page_choice.h"

#include <span>
#include <string_view>
#include <unordered_set>

#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

constexpr std::uint16_t kDefaultCodePage = 1252;

std::span<const std::uint8_t> bytes_of(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

template <class Visit>
void for_each_name(std::string_view path, Visit visit) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (i > start) visit(path.substr(start, i - start));
      start = i + 1;
    }
  }
}

// Non-ASCII names of `decoded` that stand among the Unicode names.
int agreement(const std::vector<std::string>& decoded, const std::unordered_set<std::string_view>& known) {
  int score = 0;
  for (const std::string& text : decoded)
    for_each_name(text, [&](std::string_view name) {
      if (!is_ascii(name) && known.contains(name)) ++score;
    });
  return score;
}

std::string join(const std::vector<std::string>& pieces) {
  std::string path;
  for (const std::string& piece : pieces) {
    if (!path.empty() && path.back() != '\\' && !piece.empty()) path += '\\';
    path += piece;
  }
  return path;
}

}  // namespace

std::vector<std::string> unicode_names_of(const ParsedLink& link) {
  std::vector<std::string> names;
  if (link.id_list) names = link.id_list->unicode_names;
  for (const auto* text : {&link.strings.working_dir, &link.strings.relative_path})
    if (*text) names.push_back(**text);
  if (link.extra.environment_target && !link.extra.environment_target->is_ansi)
    names.push_back(link.extra.environment_target->text);
  names.insert(names.end(), link.extra.property_strings.begin(), link.extra.property_strings.end());
  if (link.link_info) {
    for (const StoredText* text : {&link.link_info->local_base_path, &link.link_info->net_name,
                                   &link.link_info->common_path_suffix})
      if (!text->is_ansi && !text->text.empty()) names.push_back(text->text);
  }
  return names;
}

std::string decode_and_join(const std::vector<StoredText>& pieces, const std::vector<std::string>& unicode_names) {
  bool needs_choice = false;
  for (const StoredText& piece : pieces) needs_choice = needs_choice || (piece.is_ansi && !is_ascii(piece.text));

  const auto decode_all = [&](std::uint16_t code_page) -> std::optional<std::vector<std::string>> {
    std::vector<std::string> decoded;
    for (const StoredText& piece : pieces) {
      if (!piece.is_ansi || is_ascii(piece.text)) {
        decoded.push_back(piece.text);
        continue;
      }
      auto text = decode_ansi(bytes_of(piece.text), code_page);
      if (!text) return std::nullopt;
      decoded.push_back(std::move(*text));
    }
    return decoded;
  };
  if (!needs_choice) return join(*decode_all(kDefaultCodePage));

  std::unordered_set<std::string_view> known;
  for (const std::string& text : unicode_names) for_each_name(text, [&](std::string_view name) { known.insert(name); });

  std::optional<std::vector<std::string>> best;
  int best_score = -1;
  for (const std::uint16_t code_page : kWindowsAnsiCodePages) {  // 1252 first: it wins ties
    auto decoded = decode_all(code_page);
    if (!decoded) continue;
    const int score = agreement(*decoded, known);
    if (score > best_score) {
      best_score = score;
      best = std::move(decoded);
    }
  }
  return join(*best);  // 1252 decodes every byte, so there is always a reading
}

}  // namespace morvik::codec
