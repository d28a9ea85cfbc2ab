#include "shortcut_access/shortcut_access.h"

#include "shortcut_access/platform_api.h"

namespace {

// The persistence interface takes wide paths only. A path that does not fit
// MAX_PATH units fails here, so that no cut or undefined path reaches Load
// or Save.
bool to_wide_path(const char* path, WCHAR (&wide)[MAX_PATH]) {
  return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, wide, MAX_PATH) != 0;
}

}  // namespace

bool ReadShortcutTarget(const char* fileLNK, char* target) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<LPVOID*>(&link))))
    return false;

  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    link->Release();
    return false;
  }

  bool ok = false;
  WCHAR wide[MAX_PATH];
  if (to_wide_path(fileLNK, wide) && SUCCEEDED(file->Load(wide, STGM_READ))) {
    // A shortcut with no file-system target still counts as read; only a
    // target too long for the buffer fails, rather than printing it cut.
    const HRESULT hr = link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
    ok = hr != HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  }
  file->Release();
  link->Release();
  return ok;
}

bool WriteShortcut(const char* targetFile, const char* arguments, const char* fileLNK, const char* workingDirectory) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<LPVOID*>(&link))))
    return false;

  // A refused target must not leave a shortcut that points nowhere.
  const bool target_accepted = SUCCEEDED(link->SetPath(targetFile));
  link->SetArguments(arguments);
  link->SetWorkingDirectory(workingDirectory);

  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    link->Release();
    return false;
  }

  bool ok = false;
  WCHAR wide[MAX_PATH];
  if (target_accepted && to_wide_path(fileLNK, wide)) ok = SUCCEEDED(file->Save(wide, TRUE));
  file->Release();
  link->Release();
  return ok;
}
