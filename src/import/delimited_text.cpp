#include "import/delimited_text.h"

namespace ff {
namespace {

constexpr char kQuote = '"';

bool IsBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

bool NeedsQuotes(const std::string& item, char delimiter) {
  for (char c : item) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 1 && u <= 32) || c == kQuote || c == delimiter) return true;
  }
  return false;
}

}  // namespace

std::string WriteDelimitedText(const std::vector<std::string>& items, char delimiter) {
  if (items.size() == 1 && items.front().empty()) return {kQuote, kQuote};
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += delimiter;
    const std::string& item = items[i];
    if (!NeedsQuotes(item, delimiter)) {
      text += item;
      continue;
    }
    text += kQuote;
    for (char c : item) {
      if (c == kQuote) text += kQuote;
      text += c;
    }
    text += kQuote;
  }
  return text;
}

std::vector<std::string> ReadDelimitedText(std::string_view text, char delimiter) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);

  std::vector<std::string> items;
  size_t p = 0;
  const size_t end = text.size();
  while (p < end && IsBlank(text[p])) ++p;
  while (p < end) {
    std::string item;
    if (text[p] == kQuote) {
      ++p;
      while (p < end) {
        if (text[p] == kQuote) {
          if (p + 1 < end && text[p + 1] == kQuote) {
            item += kQuote;
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        item += text[p++];
      }
    } else {
      const size_t start = p;
      while (p < end && !IsBlank(text[p]) && text[p] != delimiter) ++p;
      item.assign(text.substr(start, p - start));
    }
    items.push_back(std::move(item));
    while (p < end && IsBlank(text[p])) ++p;
    if (p < end && text[p] == delimiter) {
      if (p + 1 == end) items.emplace_back();
      ++p;
      while (p < end && IsBlank(text[p])) ++p;
    }
  }
  return items;
}

}  // namespace ff
