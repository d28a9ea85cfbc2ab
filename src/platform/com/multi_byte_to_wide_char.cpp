// MultiByteToWideChar for this platform, whose ANSI code page is UTF-8:
// invalid bytes become U+FFFD, or fail the call with MB_ERR_INVALID_CHARS.
#include <cstring>
#include <string>

#include "codec/text/unicode.h"
#include "platform/windows_shell.h"

namespace {

// True when every byte belongs to a well-formed UTF-8 sequence.
bool is_valid_utf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t at = pos;
    if (morvik::codec::next_code_point(text, pos) == morvik::codec::kReplacementCharacter &&
        text.substr(at, 3) != "\xEF\xBF\xBD")
      return false;
  }
  return true;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (CodePage != CP_ACP && CodePage != CP_UTF8) return 0;
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0) return 0;
  // -1: the whole string with its terminator, which is converted too.
  const std::size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  const std::string_view text(lpMultiByteStr, length);
  if ((dwFlags & MB_ERR_INVALID_CHARS) != 0 && !is_valid_utf8(text)) return 0;
  const std::u16string wide = morvik::codec::utf8_to_utf16(text);
  if (cchWideChar == 0) return static_cast<int>(wide.size());  // the size needed
  if (lpWideCharStr == nullptr || wide.size() > static_cast<std::size_t>(cchWideChar)) return 0;
  std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
  return static_cast<int>(wide.size());
}
