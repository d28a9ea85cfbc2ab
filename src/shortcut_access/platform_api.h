// The platform's COM library, shell link object and code-page conversion:
// Windows' own where there is one, Morvik's stand-in elsewhere. Both offer
// the same names.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlguid.h>
#else
#include "platform/windows_shell.h"
#endif
