// Morvik's own stand-in for the parts of the Windows COM library, the shell
// link object and the code-page conversion that the shortcut access code
// calls, under the platform's names, so that the same code builds against
// the real platform headers on Windows. Only what that code uses is here.
#pragma once

#include <cstdint>

// Basic Windows types, with the platform's widths. WCHAR is a UTF-16 unit.
using BOOL = int;
using UINT = unsigned int;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using HRESULT = std::int32_t;
using CHAR = char;
using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPSTR = CHAR*;
using LPCSTR = const CHAR*;
using LPCCH = const CHAR*;
using LPWSTR = WCHAR*;
using LPCOLESTR = const OLECHAR*;
using LPVOID = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr int MAX_PATH = 260;

// HRESULT values.
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }
inline constexpr HRESULT make_hresult(std::uint32_t bits) { return static_cast<HRESULT>(bits); }
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = make_hresult(0x80004002);
inline constexpr HRESULT E_POINTER = make_hresult(0x80004003);
inline constexpr HRESULT E_FAIL = make_hresult(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = make_hresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = make_hresult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = make_hresult(0x80040110);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = make_hresult(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = make_hresult(0x800401F0);
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_BAD_FORMAT = 11;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
  return error == 0 ? S_OK : make_hresult((error & 0xFFFF) | 0x80070000u);
}

// GUIDs.
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
bool operator==(const GUID& a, const GUID& b);

extern const CLSID CLSID_ShellLink;
extern const IID IID_IUnknown;
extern const IID IID_IShellLinkA;
extern const IID IID_IPersistFile;

// COM interfaces: pure virtual, reference-counted, released by their users.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

// Find data that GetPath can fill; callers here pass none.
struct WIN32_FIND_DATAA;

inline constexpr DWORD SLGP_SHORTPATH = 0x1;
inline constexpr DWORD SLGP_UNCPRIORITY = 0x2;
inline constexpr DWORD SLGP_RAWPATH = 0x4;

struct IShellLinkA : IUnknown {
  virtual HRESULT GetPath(LPSTR pszFile, int cch, WIN32_FIND_DATAA* pfd, DWORD fFlags) = 0;
  virtual HRESULT SetWorkingDirectory(LPCSTR pszDir) = 0;
  virtual HRESULT SetArguments(LPCSTR pszArgs) = 0;
  virtual HRESULT SetPath(LPCSTR pszFile) = 0;

 protected:
  ~IShellLinkA() = default;
};

inline constexpr DWORD STGM_READ = 0x00000000;

struct IPersistFile : IUnknown {
  virtual HRESULT Load(LPCOLESTR pszFileName, DWORD dwMode) = 0;
  virtual HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) = 0;

 protected:
  ~IPersistFile() = default;
};

// The COM library.
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);

// Code-page conversion. The process's ANSI code page here is UTF-8.
inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr DWORD MB_PRECOMPOSED = 0x00000001;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
