// The file does not say in which code page its ANSI fields were written.
// It usually holds the same names in Unicode elsewhere, though: the code
// page in which the ANSI bytes spell those names is the one that wrote them.
#pragma once

#include <string>
#include <vector>

#include "codec/link_model.h"

namespace morvik::codec {

// Every Unicode name the file holds that can tell a code page: the ID list's
// names, the working directory, the relative path, the environment target
// and the property store's strings.
std::vector<std::string> unicode_names_of(const ParsedLink& link);

// Decodes the pieces (ANSI ones in the one code page, among the Windows ANSI
// code pages, whose reading agrees with most of `unicode_names`; 1252 when
// nothing decides) and joins them with backslashes.
std::string decode_and_join(const std::vector<StoredText>& pieces, const std::vector<std::string>& unicode_names);

}  // namespace morvik::codec
