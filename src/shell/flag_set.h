// A set over the members of an enumeration with at most 32 members; member
// n is bit n of Bits().
#pragma once

#include <cstdint>
#include <initializer_list>

namespace ff {

template <typename Enum>
class FlagSet {
 public:
  constexpr FlagSet() = default;
  constexpr FlagSet(std::initializer_list<Enum> members) {
    for (Enum member : members) Include(member);
  }
  static constexpr FlagSet FromBits(std::uint32_t bits) {
    FlagSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr bool Contains(Enum member) const { return (bits_ & Bit(member)) != 0; }
  constexpr FlagSet& Include(Enum member) {
    bits_ |= Bit(member);
    return *this;
  }
  constexpr FlagSet& Exclude(Enum member) {
    bits_ &= ~Bit(member);
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool operator==(const FlagSet&) const = default;

 private:
  static constexpr std::uint32_t Bit(Enum member) {
    return std::uint32_t{1} << static_cast<unsigned>(member);
  }
  std::uint32_t bits_ = 0;
};

}  // namespace ff
