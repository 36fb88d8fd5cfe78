#pragma once
// A small set of enumeration values stored as bits, for the class library's set types
// (TComponentState, TFontStyles, TShiftState, ...). The enumeration's values must lie in 0..63.
#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <typename Enum>
class TSet {
  static_assert(std::is_enum_v<Enum>, "TSet holds values of an enumeration");

public:
  constexpr TSet() = default;
  constexpr TSet(Enum e) : bits_(Bit(e)) {}
  constexpr TSet(std::initializer_list<Enum> items) {
    for (Enum e : items) bits_ |= Bit(e);
  }

  constexpr TSet& Include(Enum e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(Enum e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr bool Contains(Enum e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  // True when every member of `other` is also in this set.
  constexpr bool ContainsAll(TSet other) const { return (bits_ & other.bits_) == other.bits_; }
  constexpr uint64_t Bits() const { return bits_; }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }

  // Union, difference and intersection, as the class library writes them with +, - and *.
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
  constexpr TSet& operator+=(TSet b) { return *this = *this + b; }
  constexpr TSet& operator-=(TSet b) { return *this = *this - b; }
  constexpr TSet& operator*=(TSet b) { return *this = *this * b; }
  friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
  friend constexpr bool operator!=(TSet a, TSet b) { return a.bits_ != b.bits_; }

private:
  static constexpr uint64_t Bit(Enum e) {
    auto v = static_cast<std::underlying_type_t<Enum>>(e);
    return (v >= 0 && static_cast<uint64_t>(v) < 64) ? (uint64_t{1} << v) : 0;
  }
  uint64_t bits_ = 0;
};
