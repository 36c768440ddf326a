// Wildcard matching of file names: the whole name against the whole mask,
// "*" any run of characters, "?" exactly one, "[...]" one character of a set
// (single characters and ranges a-f, "!" first for the complement), all else
// literally; letter case is ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ff {

class Wildcard {
 public:
  // Compiles mask. A mask with an unclosed or empty set, a "-" without a
  // character before it inside a set, or more than 30 runs of "*" throws
  // ff::Error "'<mask>' is an invalid mask at (<1-based position>)".
  explicit Wildcard(std::string_view mask);

  bool Matches(std::string_view name) const;
  // For a name already folded by FoldName; lets one folding serve many masks.
  bool MatchesFolded(std::u32string_view folded) const;
  const std::string& Mask() const { return mask_; }

 private:
  enum class Kind { kLiteral, kAny, kStar, kSet };
  struct Element {
    Kind kind;
    char32_t literal = 0;  // folded
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded bounds
  };

  bool MatchesSet(const Element& e, char32_t c) const;

  std::string mask_;
  std::vector<Element> elements_;
  // "*" followed by plain characters only ("*.jpg"): a suffix test.
  bool suffixOnly_ = false;
  std::u32string suffix_;
};

// The code points of name, letter case folded, into buffer.
std::u32string_view FoldName(std::string_view name, std::u32string& buffer);

// Compiles every mask; throws on the first invalid one.
std::vector<Wildcard> CompileWildcards(const std::vector<std::string>& masks);

}  // namespace ff
