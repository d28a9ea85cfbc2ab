# Cross-builds morvik.exe through the `windows` preset into BINARY_DIR, a
# folder of the Linux build tree, so that each Linux build tree has its own.
# Usage: cmake -DSOURCE_DIR=... -DBINARY_DIR=... -P cross_build.cmake
find_program(MORVIK_MINGW_CXX NAMES x86_64-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++)
if(NOT MORVIK_MINGW_CXX)
  message(FATAL_ERROR "FAILED: the MinGW-w64 cross compiler x86_64-w64-mingw32-g++ was not found: "
                      "install the Debian package g++-mingw-w64-x86-64 (scripts/install-test-packages does)")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} --preset windows
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE configure_result)
if(NOT configure_result EQUAL 0)
  message(FATAL_ERROR "FAILED: configuring the windows preset (${configure_result})")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR}
  RESULT_VARIABLE build_result)
if(NOT build_result EQUAL 0)
  message(FATAL_ERROR "FAILED: building morvik.exe (${build_result})")
endif()

set(exe ${BINARY_DIR}/src/front_end/morvik.exe)
if(NOT EXISTS ${exe})
  message(FATAL_ERROR "FAILED: the build made no ${exe}")
endif()
# A static build needs no MinGW runtime DLL beside it under Wine or Windows.
find_program(MORVIK_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump)
if(MORVIK_MINGW_OBJDUMP)
  execute_process(COMMAND ${MORVIK_MINGW_OBJDUMP} -p ${exe} OUTPUT_VARIABLE headers)
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${headers}")
  message(STATUS "morvik.exe imports: ${dlls}")
  if(dlls MATCHES "libstdc|libgcc|libwinpthread")
    message(FATAL_ERROR "FAILED: morvik.exe is not statically linked: ${dlls}")
  endif()
endif()
