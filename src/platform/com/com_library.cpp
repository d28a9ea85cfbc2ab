// CoInitialize and CoCreateInstance: one thread-local apartment flag and
// one class, the shell link.
#include <cstring>
#include <new>

#include "platform/shell_link/shell_link_object.h"
#include "platform/windows_shell.h"

const CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool operator==(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {
thread_local bool apartment_initialized = false;
}

HRESULT CoInitialize(LPVOID /*pvReserved*/) {
  if (apartment_initialized) return S_FALSE;
  apartment_initialized = true;
  return S_OK;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (!apartment_initialized) return CO_E_NOTINITIALIZED;
  if (!(rclsid == CLSID_ShellLink) || (dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;

  auto* object = new (std::nothrow) morvik::platform::ShellLinkObject();
  if (object == nullptr) return E_OUTOFMEMORY;
  // The object starts with one reference, which QueryInterface's own
  // reference replaces.
  const HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}
