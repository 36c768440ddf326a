#include "import/wildcard.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/text.h"

namespace ff {
namespace {

constexpr int kMaxStarRuns = 30;

[[noreturn]] void Invalid(std::string_view mask, size_t position) {
  throw Error("'" + std::string(mask) + "' is an invalid mask at (" + std::to_string(position) +
              ")");
}

}  // namespace

Wildcard::Wildcard(std::string_view mask) : mask_(mask) {
  std::vector<char32_t> chars;
  for (size_t pos = 0; pos < mask.size();) chars.push_back(DecodeUtf8(mask, pos));

  int starRuns = 0;
  size_t i = 0;
  while (i < chars.size()) {
    const char32_t c = chars[i];
    if (c == '*') {
      if (++starRuns > kMaxStarRuns) Invalid(mask, i + 1);
      while (i < chars.size() && chars[i] == '*') ++i;
      elements_.push_back(Element{Kind::kStar, 0, false, {}});
      continue;
    }
    if (c == '?') {
      elements_.push_back(Element{Kind::kAny, 0, false, {}});
      ++i;
      continue;
    }
    if (c != '[') {
      elements_.push_back(Element{Kind::kLiteral, FoldCodePoint(c), false, {}});
      ++i;
      continue;
    }
    // A set: "[", optional "!", members, "]".
    Element set{Kind::kSet, 0, false, {}};
    ++i;
    if (i < chars.size() && chars[i] == '!') {
      set.negated = true;
      ++i;
    }
    bool canStartRange = false;
    for (;;) {
      if (i >= chars.size()) Invalid(mask, chars.size() + 1);
      const char32_t m = chars[i];
      if (m == ']') {
        if (set.ranges.empty()) Invalid(mask, i + 1);
        ++i;
        break;
      }
      if (m == '-' && !(i + 1 < chars.size() && chars[i + 1] == ']')) {
        if (!canStartRange) Invalid(mask, i + 1);
        if (i + 1 >= chars.size()) Invalid(mask, chars.size() + 1);
        set.ranges.back().second = FoldCodePoint(chars[i + 1]);
        canStartRange = false;
        i += 2;
        continue;
      }
      const char32_t folded = FoldCodePoint(m);
      set.ranges.emplace_back(folded, folded);
      canStartRange = true;
      ++i;
    }
    elements_.push_back(std::move(set));
  }
  suffixOnly_ = !elements_.empty() && elements_[0].kind == Kind::kStar &&
                std::all_of(elements_.begin() + 1, elements_.end(),
                            [](const Element& e) { return e.kind == Kind::kLiteral; });
  if (suffixOnly_)
    for (size_t k = 1; k < elements_.size(); ++k) suffix_ += elements_[k].literal;
}

bool Wildcard::MatchesSet(const Element& e, char32_t c) const {
  bool in = false;
  for (const auto& [low, high] : e.ranges) {
    if (c >= low && c <= high) {
      in = true;
      break;
    }
  }
  return in != e.negated;
}

std::u32string_view FoldName(std::string_view name, std::u32string& buffer) {
  buffer.clear();
  for (size_t pos = 0; pos < name.size();) {
    const auto byte = static_cast<unsigned char>(name[pos]);
    if (byte < 0x80) {
      buffer += (byte >= 'A' && byte <= 'Z') ? static_cast<char32_t>(byte + 32) : byte;
      ++pos;
    } else {
      buffer += FoldCodePoint(DecodeUtf8(name, pos));
    }
  }
  return buffer;
}

bool Wildcard::Matches(std::string_view name) const {
  std::u32string buffer;
  return MatchesFolded(FoldName(name, buffer));
}

bool Wildcard::MatchesFolded(std::u32string_view chars) const {
  if (suffixOnly_) return chars.ends_with(suffix_);
  const size_t count = chars.size();
  // Greedy matching with a single backtrack point at the last star: every
  // element other than a star takes exactly one character.
  size_t e = 0;
  size_t n = 0;
  size_t starElement = SIZE_MAX;
  size_t starName = 0;
  while (n < count) {
    if (e < elements_.size()) {
      const Element& el = elements_[e];
      if (el.kind == Kind::kStar) {
        starElement = e++;
        starName = n;
        continue;
      }
      const bool ok = el.kind == Kind::kAny ||
                      (el.kind == Kind::kLiteral && el.literal == chars[n]) ||
                      (el.kind == Kind::kSet && MatchesSet(el, chars[n]));
      if (ok) {
        ++e;
        ++n;
        continue;
      }
    }
    if (starElement == SIZE_MAX) return false;
    e = starElement + 1;
    n = ++starName;
  }
  while (e < elements_.size() && elements_[e].kind == Kind::kStar) ++e;
  return e == elements_.size();
}

std::vector<Wildcard> CompileWildcards(const std::vector<std::string>& masks) {
  std::vector<Wildcard> compiled;
  compiled.reserve(masks.size());
  for (const std::string& mask : masks) compiled.emplace_back(mask);
  return compiled;
}

}  // namespace ff
