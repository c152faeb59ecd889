// The generated blocks of a text: each lies between a line "<!-- begin generated: NAME -->" and
// a line "<!-- end generated: NAME -->", with one empty line after the first and before the
// second, and is rewritten whole; everything outside the markers is kept byte for byte.
#pragma once
#include <map>
#include <string>

namespace guide {

// Puts every block into its place in text. Fails, saying why, when a block has no place in the
// text, the text has a place for a block that does not exist, a place appears twice, or a
// begin marker has no end.
bool ReplaceBlocks(const std::string& text, const std::map<std::string, std::string>& blocks,
                   std::string* out, std::string* error);

// "line N: <that line of a>" for the first line where a and b differ.
std::string FirstDifference(const std::string& a, const std::string& b);

} // namespace guide
