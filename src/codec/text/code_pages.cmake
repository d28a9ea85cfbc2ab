# Code-page tables for morvik_codec, written at build time by a small host
# program from the C library's iconv, so that morvik needs no conversion
# library when it runs. Included from src/codec/CMakeLists.txt; not reached
# when building for Windows.

add_executable(morvik_generate_code_page_tables
  ${PROJECT_SOURCE_DIR}/tools/generate_code_page_tables.cpp)
# For kWindowsAnsiCodePages: the generator writes a table for each of them.
target_include_directories(morvik_generate_code_page_tables PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(morvik_generate_code_page_tables PRIVATE
  -Wall -Wextra -Wconversion -Wno-sign-conversion)

set(_morvik_code_page_dir ${CMAKE_CURRENT_BINARY_DIR}/generated)
set(_morvik_code_page_header ${_morvik_code_page_dir}/codec/text/code_page_tables.h)
set(_morvik_code_page_source ${_morvik_code_page_dir}/codec/text/code_page_tables.cpp)

add_custom_command(
  OUTPUT ${_morvik_code_page_header} ${_morvik_code_page_source}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_morvik_code_page_dir}/codec/text
  COMMAND morvik_generate_code_page_tables ${_morvik_code_page_header} ${_morvik_code_page_source}
  DEPENDS morvik_generate_code_page_tables
  COMMENT "Generating code-page tables from iconv"
  VERBATIM)

target_sources(morvik_codec PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/text/code_pages.cpp
  ${_morvik_code_page_source}
  ${_morvik_code_page_header})
target_include_directories(morvik_codec PRIVATE ${_morvik_code_page_dir})

unset(_morvik_code_page_dir)
unset(_morvik_code_page_header)
unset(_morvik_code_page_source)
