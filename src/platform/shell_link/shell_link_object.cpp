#include "platform/shell_link/shell_link_object.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "codec/link_reader.h"
#include "codec/target_path.h"
#include "codec/text/unicode.h"
#include "platform/file_system/atomic_file.h"
#include "platform/file_system/file_reader.h"
#include "platform/file_system/target_lookup.h"

namespace morvik::platform {
namespace {

HRESULT hresult_from_errno(int error) {
  switch (error) {
    case ENOENT: return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR: return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    case ENAMETOOLONG: return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    case 0: return S_OK;
    default: return E_FAIL;
  }
}

// The file name that reaches Load and Save is UTF-16; this file system's
// names are UTF-8.
std::optional<std::string> local_file_name(LPCOLESTR name) {
  if (name == nullptr) return std::nullopt;
  std::size_t length = 0;
  while (name[length] != 0) ++length;
  if (length == 0) return std::nullopt;
  return codec::utf16_to_utf8(std::u16string_view(name, length));
}

}  // namespace

HRESULT ShellLinkObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IShellLinkA) {
    *ppvObject = static_cast<IShellLinkA*>(this);
  } else if (riid == IID_IPersistFile) {
    *ppvObject = static_cast<IPersistFile*>(this);
  } else {
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ShellLinkObject::AddRef() { return ++references_; }

ULONG ShellLinkObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ShellLinkObject::GetPath(LPSTR pszFile, int cch, WIN32_FIND_DATAA* /*pfd*/, DWORD /*fFlags*/) {
  // SLGP_UNCPRIORITY changes nothing, as on current Windows.
  if (pszFile == nullptr || cch <= 0) return E_INVALIDARG;
  pszFile[0] = '\0';
  if (target_path_.empty()) return S_FALSE;
  // Never cut a path: a part of it would name another file.
  if (target_path_.size() >= static_cast<std::size_t>(cch)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(pszFile, target_path_.c_str(), target_path_.size() + 1);
  return S_OK;
}

HRESULT ShellLinkObject::SetWorkingDirectory(LPCSTR pszDir) {
  if (pszDir == nullptr) return E_INVALIDARG;
  working_directory_ = pszDir;
  return S_OK;
}

HRESULT ShellLinkObject::SetArguments(LPCSTR pszArgs) {
  if (pszArgs == nullptr) return E_INVALIDARG;
  arguments_ = pszArgs;
  return S_OK;
}

HRESULT ShellLinkObject::SetPath(LPCSTR pszFile) {
  target_.reset();
  target_path_.clear();
  if (pszFile == nullptr) return E_INVALIDARG;
  auto path = codec::parse_windows_path(pszFile, current_directory());
  if (!path) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
  target_facts_ = look_up_target(*path);
  target_path_ = path->to_string();
  target_ = std::move(*path);
  // As on Windows: S_FALSE says the target does not exist (here).
  return target_facts_.exists ? S_OK : S_FALSE;
}

HRESULT ShellLinkObject::Load(LPCOLESTR pszFileName, DWORD /*dwMode*/) {
  const auto name = local_file_name(pszFileName);
  if (!name) return E_INVALIDARG;
  std::vector<std::uint8_t> bytes;
  if (const int error = read_regular_file(*name, bytes); error != 0) return hresult_from_errno(error);
  const auto link = codec::parse_link(bytes);
  if (!link) return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
  std::string target = codec::target_path_of(*link);
  // Damage that may have taken the only name of the target with it must
  // not read as "a shortcut without a file-system target".
  if (target.empty() && link->truncated) return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
  target_.reset();
  target_path_ = std::move(target);
  arguments_ = link->strings.arguments.value_or("");
  working_directory_ = link->strings.working_dir.value_or("");
  return S_OK;
}

HRESULT ShellLinkObject::Save(LPCOLESTR pszFileName, BOOL /*fRemember*/) {
  const auto name = local_file_name(pszFileName);
  if (!name) return E_INVALIDARG;
  // A shortcut without its target would be a failure reported as success.
  if (!target_) return E_FAIL;
  const auto bytes = codec::write_link({*target_, target_facts_, arguments_, working_directory_});
  if (!bytes) return E_INVALIDARG;
  return hresult_from_errno(replace_file_atomically(*name, *bytes));
}

}  // namespace morvik::platform
