#pragma once
// A set of up to eight members of an enumeration, stored in one byte: member n is bit n.

#include <cstdint>
#include <initializer_list>

template <typename TMember>
class TDCLSet {
 public:
  constexpr TDCLSet() = default;
  constexpr TDCLSet(std::initializer_list<TMember> Members) {
    for (TMember Member : Members) Include(Member);
  }

  constexpr bool Contains(TMember Member) const { return (FBits >> Member) & 1u; }
  constexpr void Include(TMember Member) { FBits = static_cast<std::uint8_t>(FBits | (1u << Member)); }
  constexpr std::uint8_t Bits() const { return FBits; }
  friend constexpr bool operator==(TDCLSet, TDCLSet) = default;

 private:
  std::uint8_t FBits = 0;
};
