#pragma once

// The strands and their base letters, for both strand programs.

#include <cstddef>

namespace helixmate {

// The longest strand line either program holds, in characters.
constexpr std::size_t max_strand_length = 254;

constexpr bool is_base(unsigned char c) {
  return c == 'A' || c == 'C' || c == 'G' || c == 'T';
}

// What a base letter is XORed with to give its complement: bit 1 tells C and G (set) from
// A and T (clear); A and T differ by 0x15, C and G by 0x04.
constexpr unsigned char mate_flip(unsigned char c) {
  return (c & 2) != 0 ? 0x04 : 0x15;
}

// A and T exchanged, C and G exchanged; for a base letter only.
constexpr char base_mate(unsigned char c) {
  return static_cast<char>(c ^ mate_flip(c));
}

// All ones for a base letter, zero for any other character. Made by negation rather than
// chosen, so that every byte goes through the same arithmetic with no branch: the shape of
// loop a compiler turns into vector instructions.
constexpr unsigned char base_mask(unsigned char c) {
  return static_cast<unsigned char>(-static_cast<int>(is_base(c)));
}

// The complement of a base letter; any other character stays as it is.
constexpr char mate_or_same(unsigned char c) {
  return static_cast<char>(c ^ (mate_flip(c) & base_mask(c)));
}

// Replaces each base letter of text[0, size) by its complement, leaving other characters.
inline void mate_in_place(char* text, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    text[i] = mate_or_same(static_cast<unsigned char>(text[i]));
}

// Writes the complement of each base letter of in[0, size) at `out`, dropping every other
// character, and returns the end; `out` needs room for `size` bytes. A line of bases only,
// the common case, takes one branch-free pass that the compiler turns into vector
// instructions; any other line is written again, one character at a time.
inline char* write_base_mates(const char* in, std::size_t size, char* out) {
  unsigned char all_bases = 0xff;
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(in[i]);
    out[i] = base_mate(c);
    all_bases &= base_mask(c);
  }
  if (all_bases != 0) return out + size;
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(in[i]);
    *out = base_mate(c);
    out += is_base(c);
  }
  return out;
}

}  // namespace helixmate
