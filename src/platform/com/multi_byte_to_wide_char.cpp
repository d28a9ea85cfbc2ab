// MultiByteToWideChar for this platform, whose ANSI code page is UTF-8:
// invalid bytes become U+FFFD, as Windows does without MB_ERR_INVALID_CHARS.
#include <cstring>
#include <string>

#include "codec/text/unicode.h"
#include "platform/windows_shell.h"

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (CodePage != CP_ACP && CodePage != CP_UTF8) return 0;
  if ((dwFlags & MB_ERR_INVALID_CHARS) != 0 || lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0)
    return 0;
  // -1: the whole string with its terminator, which is converted too.
  const std::size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  const std::u16string wide = morvik::codec::utf8_to_utf16(std::string_view(lpMultiByteStr, length));
  if (cchWideChar == 0) return static_cast<int>(wide.size());  // the size needed
  if (lpWideCharStr == nullptr || wide.size() > static_cast<std::size_t>(cchWideChar)) return 0;
  std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
  return static_cast<int>(wide.size());
}
