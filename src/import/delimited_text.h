// Delimited text: an ordered list of text items on one line, joined by a
// delimiter, with double quotes around the items that need them. It splits
// the search pattern into wildcards and stores the multi-target map.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ff {

// Joins items with delimiter; an item holding a blank, a control character,
// a double quote or the delimiter is quoted, its quotes doubled. A list of one
// empty item gives "".
std::string WriteDelimitedText(const std::vector<std::string>& items, char delimiter = ';');

// Splits text: characters 1-32 before and after items are skipped; an item
// in double quotes runs to its closing quote (a doubled quote stands for
// one; without a closing quote it runs to the end of the text); any other
// item ends at the delimiter, a character 1-32 or the end; a delimiter that
// is the last character adds one empty item. A NUL character ends the text.
std::vector<std::string> ReadDelimitedText(std::string_view text, char delimiter = ';');

}  // namespace ff
