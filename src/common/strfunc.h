#pragma once

#include <string>
#include <string_view>

// Delimited fields and printable notation of single-byte texts (codes 0 to 255).
namespace Strfunc {

// Control and high characters in caret-and-backslash notation ("^M", "\^[", "\A" ...);
// a trailing blank is marked with a final "^".
std::string CtrlToArrow(std::string_view text);

// Number of delimited fields: 0 for an empty text, otherwise occurrences + 1. After a match
// the search goes on one character after its start.
int Dcount(std::string_view text, std::string_view delimiter);

// The n-th field (from 1); the whole text for n = 0, empty when there are fewer fields.
std::string Field(std::string_view text, std::string_view delimiter, int n);

} // namespace Strfunc
