#include "platform/text.h"

#include <locale.h>
#include <wctype.h>

namespace ff {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

locale_t Utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
    return l;
  }();
  return locale;
}

}  // namespace

void EncodeUtf8(char32_t c, std::string& out) {
  if (c >= 0xDC80 && c <= 0xDCFF) {  // a raw byte kept from invalid input
    out += static_cast<char>(c - 0xDC00);
  } else if (c >= 0xD800 && c <= 0xDFFF) {  // any other lone surrogate
    out += "\xEF\xBF\xBD";
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t DecodeUtf8(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = 0;
  char32_t c = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
  }
  bool valid = length > 0 && pos + static_cast<size_t>(length) <= text.size();
  for (int i = 1; valid && i < length; ++i) {
    const unsigned char next = byte(pos + static_cast<size_t>(i));
    valid = (next & 0xC0) == 0x80;
    c = (c << 6) | (next & 0x3F);
  }
  // Reject overlong forms, surrogates and values beyond Unicode.
  if (valid && ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                (length == 4 && (c < 0x10000 || c > 0x10FFFF))))
    valid = false;
  if (!valid) {
    ++pos;
    return 0xDC00 + lead;
  }
  pos += static_cast<size_t>(length);
  return c;
}

char32_t FoldCodePoint(char32_t c) {
  if (c < 0x80) return static_cast<char32_t>(AsciiLower(static_cast<char>(c)));
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  if (locale_t locale = Utf8Locale())
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
  return c;
}

std::string FoldCase(std::string_view text) {
  // Plain ASCII, the usual case, folds in place.
  size_t pos = 0;
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
  std::string out(text.substr(0, pos));
  for (char& c : out) c = AsciiLower(c);
  if (pos == text.size()) return out;
  out.reserve(text.size());
  while (pos < text.size()) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
      out += AsciiLower(static_cast<char>(lead));
      ++pos;
      continue;
    }
    EncodeUtf8(FoldCodePoint(DecodeUtf8(text, pos)), out);
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool ascii_equal = true;
    for (size_t i = 0; i < a.size() && ascii_equal; ++i) {
      if (static_cast<unsigned char>(a[i]) >= 0x80 || static_cast<unsigned char>(b[i]) >= 0x80)
        return FoldCase(a) == FoldCase(b);
      ascii_equal = AsciiLower(a[i]) == AsciiLower(b[i]);
    }
    if (ascii_equal) return true;
  }
  return FoldCase(a) == FoldCase(b);
}

size_t FindIgnoreAsciiCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  if (text.size() < needle.size()) return std::string_view::npos;
  const char first = AsciiLower(needle[0]);
  const bool letter = first >= 'a' && first <= 'z';
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (!letter) {
      // Jump to the next occurrence of the first character.
      const size_t next = text.find(first, i);
      if (next == std::string_view::npos || next + needle.size() > text.size())
        return std::string_view::npos;
      i = next;
    } else if (AsciiLower(text[i]) != first) {
      continue;
    }
    size_t k = 1;
    while (k < needle.size() && AsciiLower(text[i + k]) == AsciiLower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string ReplaceToken(std::string_view text, std::string_view token, std::string_view value) {
  if (token.empty() || text.find(token) == std::string_view::npos) return std::string(text);
  std::string out;
  size_t start = 0;
  for (size_t hit = FindIgnoreAsciiCase(text, token); hit != std::string_view::npos;
       hit = FindIgnoreAsciiCase(text, token, start)) {
    out.append(text.substr(start, hit - start));
    out.append(value);
    start = hit + token.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t start = 0;
  for (size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace ff
