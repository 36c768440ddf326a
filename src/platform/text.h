// Text helpers shared by the engine: letter-case folding of UTF-8 text and
// the token replacement rule.
#pragma once

#include <string>
#include <string_view>

namespace ff {

// Text folded for comparisons that ignore letter case. UTF-8 is folded per
// code point (simple lower-case mapping); bytes that are not valid UTF-8 are
// kept as they are, so any byte sequence folds without failing.
std::string FoldCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Folds one code point; used by the wildcard matcher.
char32_t FoldCodePoint(char32_t c);

// Decodes the code point at text[pos] and advances pos. A byte that does not
// start a valid UTF-8 sequence decodes as 0xDC00 + byte (never a real
// character), so every byte sequence decodes.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

// Appends code point c as UTF-8; 0xDC80-0xDCFF (a raw byte kept by
// DecodeUtf8) as that byte again, another lone surrogate as U+FFFD.
void EncodeUtf8(char32_t c, std::string& out);

// Position of the first occurrence of an ASCII needle in text, ignoring
// ASCII letter case; npos when absent.
size_t FindIgnoreAsciiCase(std::string_view text, std::string_view needle, size_t from = 0);

// The token rule: when text contains token written exactly so, every
// occurrence of it in any (ASCII) letter case is replaced by value in one
// pass; otherwise text is returned unchanged.
std::string ReplaceToken(std::string_view text, std::string_view token, std::string_view value);

// Every occurrence of from replaced by to (case-sensitive).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Text of a list: every line followed by CR LF.
template <typename Lines>
std::string LinesToText(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace ff
