# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64),
# against the toolchain's own Windows headers and import libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVIK_MINGW_PREFIX x86_64-w64-mingw32)
# The win32 thread model: Morvik uses no threads, and it needs no
# winpthread DLL at run time.
find_program(CMAKE_CXX_COMPILER NAMES ${MORVIK_MINGW_PREFIX}-g++-win32 ${MORVIK_MINGW_PREFIX}-g++ REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVIK_MINGW_PREFIX})
# Programs come from the build machine; headers and libraries from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
