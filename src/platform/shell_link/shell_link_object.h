// The shell link object: IShellLinkA and IPersistFile over one state. All
// file format work is the codec's; this class only holds the state and
// turns results into HRESULTs.
#pragma once

#include <optional>
#include <string>

#include "codec/link_writer.h"
#include "codec/windows_path.h"
#include "platform/windows_shell.h"

namespace morvik::platform {

class ShellLinkObject final : public IShellLinkA, public IPersistFile {
 public:
  ShellLinkObject() = default;
  ShellLinkObject(const ShellLinkObject&) = delete;
  ShellLinkObject& operator=(const ShellLinkObject&) = delete;

  // IUnknown, shared by both interfaces.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IShellLinkA
  HRESULT GetPath(LPSTR pszFile, int cch, WIN32_FIND_DATAA* pfd, DWORD fFlags) override;
  HRESULT SetWorkingDirectory(LPCSTR pszDir) override;
  HRESULT SetArguments(LPCSTR pszArgs) override;
  HRESULT SetPath(LPCSTR pszFile) override;

  // IPersistFile
  HRESULT Load(LPCOLESTR pszFileName, DWORD dwMode) override;
  HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) override;

 private:
  ~ShellLinkObject() = default;

  ULONG references_ = 1;
  // The target as GetPath gives it (UTF-8), and, once SetPath accepted a
  // path, what Save writes for it.
  std::string target_path_;
  std::optional<codec::WindowsPath> target_;
  codec::TargetFacts target_facts_;
  std::string arguments_;
  std::string working_directory_;
};

}  // namespace morvik::platform
