#include "strand_lines.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "bases.hpp"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define HELIXMATE_X86 1
#include <immintrin.h>
#endif

namespace helixmate {
namespace {

// The work goes block by block; every line but the first of a block is shorter than one.
constexpr std::size_t block = 64;
static_assert(max_strand_length + 1 >= block);
static_assert(mate_slack >= block);

// What matters about each byte of a block, one bit per byte.
struct Masks {
  std::uint64_t feeds;    // line feeds
  std::uint64_t returns;  // carriage returns
  std::uint64_t bases;    // base letters
};

// Which bytes of a block are answered: the base letters, and the line feeds that end a line
// of at least one character. A line feed ends an empty line when it starts a line itself,
// or when it follows a carriage return that does.
class Kept {
 public:
  std::uint64_t operator()(const Masks& m) {
    const std::uint64_t starts = (m.feeds << 1) | starts_carry_;
    const std::uint64_t first_returns = m.returns & starts;
    const std::uint64_t empty_ends = starts | (first_returns << 1) | first_return_carry_;
    starts_carry_ = m.feeds >> 63;
    first_return_carry_ = first_returns >> 63;
    return m.bases | (m.feeds & ~empty_ends);
  }

 private:
  std::uint64_t starts_carry_ = 1;  // the first byte of all starts a line
  std::uint64_t first_return_carry_ = 0;
};

// Whether the line from `start` to the line feed at `feed` is longer than
// max_strand_length; a carriage return right before its line feed does not count.
bool too_long(const char* data, std::size_t start, std::size_t feed) {
  const std::size_t length = feed - start - (feed > start && data[feed - 1] == '\r' ? 1 : 0);
  return length > max_strand_length;
}

// The last bytes of a span, as a whole block padded with zeros, which are nothing to keep.
class Tail {
 public:
  const char* hold(const char* data, std::size_t size) {
    std::memcpy(bytes_.data(), data, size);
    return bytes_.data();
  }

 private:
  std::array<char, block> bytes_{};
};

template <typename Isa>
Mated mate_with(std::string_view lines, std::int64_t most, char* out);

// The answers to a span's whole lines, block by block: each block's masks give both its
// answers and where its lines end.
template <typename Isa>
class Answers {
 public:
  Answers(std::string_view lines, std::int64_t most, char* out)
      : lines_(lines), first_(out), out_(out), left_(most) {}

  // Answers the block at `at`, whose bytes are at `bytes`; false once the answers end.
  bool step(const char* bytes, std::size_t at) {
    const Masks masks = Isa::masks(bytes);
    std::uint64_t answered = kept_(masks);
    if (std::uint64_t feeds = masks.feeds; feeds == 0) {
      ++blocks_without_feed_;
    } else {
      // Only a block's first line feed can end a line longer than a block, and that line
      // can be too long only after three blocks without a line feed.
      if (blocks_without_feed_ > 2 &&
          too_long(lines_.data(), start(),
                   at + static_cast<std::size_t>(std::countr_zero(feeds)))) {
        too_long_ = true;
        return false;
      }
      blocks_without_feed_ = 0;
      std::int64_t found = std::popcount(feeds);
      if (found >= left_) {
        // The last line to take ends in this block: nothing after its line feed counts.
        for (std::int64_t skip = left_; skip > 1; --skip)
          feeds &= feeds - 1;
        const auto last = static_cast<unsigned>(std::countr_zero(feeds));
        answered &= ~std::uint64_t{0} >> (63 - last);
        feeds &= ~std::uint64_t{0} >> (63 - last);
        found = left_;
      }
      count_ += found;
      left_ -= found;
      last_feeds_ = feeds;
      last_feeds_at_ = at;
    }
    out_ = Isa::put_kept(bytes, answered, out_);
    return left_ > 0;
  }

  Mated result() const {
    // Rare, and the end of the run: the lines before the one too long, answered again.
    if (too_long_) return mate_with<Isa>(lines_.substr(0, start()), count_, first_);
    return {start(), count_, out_};
  }

 private:
  // Where the line the walk is in starts: after the last line feed.
  std::size_t start() const {
    return last_feeds_ == 0
               ? 0
               : last_feeds_at_ + block - static_cast<std::size_t>(std::countl_zero(last_feeds_));
  }

  std::string_view lines_;
  char* first_;
  char* out_;
  Kept kept_;
  std::int64_t left_;
  std::int64_t count_ = 0;
  std::uint64_t last_feeds_ = 0;
  std::size_t last_feeds_at_ = 0;
  int blocks_without_feed_ = 0;
  bool too_long_ = false;
};

// The span's full blocks straight, then its last bytes from a padded copy.
template <typename Isa>
Mated mate_with(std::string_view lines, std::int64_t most, char* out) {
  Answers<Isa> answers(lines, most, out);
  std::size_t at = 0;
  for (; at + block <= lines.size(); at += block) {
    if (!answers.step(lines.data() + at, at)) return answers.result();
  }
  if (at < lines.size()) {
    Tail tail;
    answers.step(tail.hold(lines.data() + at, lines.size() - at), at);
  }
  return answers.result();
}

// One line at a time, for any processor: each line's base letters in one branch-free pass.
Mated mate_portable(std::string_view lines, std::int64_t most, char* out) {
  std::int64_t count = 0;
  std::size_t start = 0;
  while (count < most && start < lines.size()) {
    const std::size_t feed = lines.find('\n', start);
    if (feed == std::string_view::npos || too_long(lines.data(), start, feed)) break;
    const std::size_t length = feed - start;
    out = write_base_mates(lines.data() + start, length, out);
    // A line of at least one character, a carriage return before the feed not counted.
    if (length > 1 || (length == 1 && lines[start] != '\r')) *out++ = '\n';
    start = feed + 1;
    ++count;
  }
  return {start, count, out};
}

#ifdef HELIXMATE_X86

// By the low four bits of a byte, the one base letter that has them (A 0x41, C 0x43, T 0x54,
// G 0x47), and what it is XORed with to give its mate; 0x0a, the line feed, is XORed with 0.
// Nibbles of no base letter hold a byte whose low bits differ, so that nothing matches it;
// a byte of 0x80 or more looks up 0, which it never equals.
constexpr std::array<char, 16> letter_by_nibble = {1, 'A', 0, 'C', 'T', 0, 0, 'G',
                                                   0, 0,   0, 0,   0,   0, 0, 0};
constexpr std::array<char, 16> flip_by_nibble = {0, 0x15, 0, 0x04, 0x15, 0, 0, 0x04,
                                                 0, 0,    0, 0,    0,    0, 0, 0};

// The same, once for each 16 bytes of a wider register.
template <std::size_t width>
constexpr std::array<char, width> widened(const std::array<char, 16>& table) {
  std::array<char, width> copies{};
  for (std::size_t i = 0; i < width; ++i)
    copies[i] = table[i % 16];
  return copies;
}

// For each set of kept bytes among eight, where they are: the shuffle that packs them.
constexpr std::array<std::uint64_t, 256> packing = [] {
  std::array<std::uint64_t, 256> table{};
  for (std::size_t kept = 0; kept < 256; ++kept) {
    std::uint64_t order = 0;
    int placed = 0;
    for (int i = 0; i < 8; ++i) {
      if ((kept >> i) & 1) order |= static_cast<std::uint64_t>(i) << (8 * placed++);
    }
    table[kept] = order;
  }
  return table;
}();

#define HELIXMATE_SSSE3 gnu::target("ssse3,popcnt")
#define HELIXMATE_AVX2 gnu::target("avx2,bmi,popcnt")
#define HELIXMATE_AVX512 gnu::target("avx512f,avx512bw,avx512vbmi2,bmi,popcnt")

// The mates of 16 bytes, and which are base letters.
[[HELIXMATE_SSSE3]] inline __m128i mates16(__m128i bytes) {
  const __m128i flips = _mm_loadu_si128(reinterpret_cast<const __m128i*>(flip_by_nibble.data()));
  return _mm_xor_si128(bytes, _mm_shuffle_epi8(flips, bytes));
}
[[HELIXMATE_SSSE3]] inline unsigned bases16(__m128i bytes) {
  const __m128i letters =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(letter_by_nibble.data()));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_shuffle_epi8(letters, bytes))));
}
[[HELIXMATE_SSSE3]] inline unsigned equal16(__m128i bytes, char c) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
}

// The kept bytes among 16 mates, packed at `out`, eight at a time.
[[HELIXMATE_SSSE3]] inline char* put_kept16(__m128i mates, unsigned kept, char* out) {
  const unsigned low = kept & 0xff;
  const unsigned high = (kept >> 8) & 0xff;
  const std::uint64_t high_order = packing[high] + 0x0808080808080808;  // the upper eight
  const __m128i order =
      _mm_set_epi64x(static_cast<long long>(high_order), static_cast<long long>(packing[low]));
  const __m128i packed = _mm_shuffle_epi8(mates, order);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
  out += std::popcount(low);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_unpackhi_epi64(packed, packed));
  return out + std::popcount(high);
}

struct Ssse3 {
  [[HELIXMATE_SSSE3]] static __m128i load(const char* data, std::size_t quarter) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * quarter));
  }
  [[HELIXMATE_SSSE3]] static Masks masks(const char* data) {
    Masks m{0, 0, 0};
    for (std::size_t q = 0; q < 4; ++q) {
      const __m128i bytes = load(data, q);
      m.feeds |= std::uint64_t{equal16(bytes, '\n')} << (16 * q);
      m.returns |= std::uint64_t{equal16(bytes, '\r')} << (16 * q);
      m.bases |= std::uint64_t{bases16(bytes)} << (16 * q);
    }
    return m;
  }
  [[HELIXMATE_SSSE3]] static char* put_kept(const char* data, std::uint64_t kept, char* out) {
    for (std::size_t q = 0; q < 4; ++q) {
      const auto quarter = static_cast<unsigned>(kept >> (16 * q)) & 0xffff;
      out = put_kept16(mates16(load(data, q)), quarter, out);
    }
    return out;
  }
};

struct Avx2 {
  [[HELIXMATE_AVX2]] static __m256i load(const char* data, std::size_t half) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32 * half));
  }
  [[HELIXMATE_AVX2]] static std::uint64_t equal(const char* data, char c) {
    const __m256i wanted = _mm256_set1_epi8(c);
    const auto low =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(load(data, 0), wanted)));
    const auto high =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(load(data, 1), wanted)));
    return low | std::uint64_t{high} << 32;
  }
  static constexpr auto letters = widened<32>(letter_by_nibble);
  static constexpr auto flips = widened<32>(flip_by_nibble);

  [[HELIXMATE_AVX2]] static Masks masks(const char* data) {
    const __m256i by_nibble = load(letters.data(), 0);
    std::uint64_t bases = 0;
    for (std::size_t h = 0; h < 2; ++h) {
      const __m256i bytes = load(data, h);
      const auto half = static_cast<std::uint32_t>(
          _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_shuffle_epi8(by_nibble, bytes))));
      bases |= std::uint64_t{half} << (32 * h);
    }
    return {equal(data, '\n'), equal(data, '\r'), bases};
  }
  [[HELIXMATE_AVX2]] static char* put_kept(const char* data, std::uint64_t kept, char* out) {
    const __m256i by_nibble = load(flips.data(), 0);
    for (std::size_t h = 0; h < 2; ++h) {
      const __m256i bytes = load(data, h);
      const __m256i mates = _mm256_xor_si256(bytes, _mm256_shuffle_epi8(by_nibble, bytes));
      const auto half = static_cast<std::uint32_t>(kept >> (32 * h));
      if (half == 0xffffffff) {  // a run of bases, the common case
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), mates);
        out += 32;
      } else {
        out = put_kept16(_mm256_castsi256_si128(mates), half & 0xffff, out);
        out = put_kept16(_mm256_extracti128_si256(mates, 1), half >> 16, out);
      }
    }
    return out;
  }
};

struct Avx512 {
  static constexpr auto letters = widened<64>(letter_by_nibble);
  static constexpr auto flips = widened<64>(flip_by_nibble);

  [[HELIXMATE_AVX512]] static __m512i load(const char* data) { return _mm512_loadu_si512(data); }
  [[HELIXMATE_AVX512]] static Masks masks(const char* data) {
    const __m512i bytes = load(data);
    return {_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8('\n')),
            _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8('\r')),
            _mm512_cmpeq_epi8_mask(bytes, _mm512_shuffle_epi8(load(letters.data()), bytes))};
  }
  [[HELIXMATE_AVX512]] static char* put_kept(const char* data, std::uint64_t kept, char* out) {
    const __m512i bytes = load(data);
    const __m512i mates = _mm512_xor_si512(bytes, _mm512_shuffle_epi8(load(flips.data()), bytes));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(kept, mates));
    return out + std::popcount(kept);
  }
};

[[HELIXMATE_SSSE3, gnu::flatten]] Mated mate_ssse3(std::string_view lines, std::int64_t most,
                                                   char* out) {
  return mate_with<Ssse3>(lines, most, out);
}
[[HELIXMATE_AVX2, gnu::flatten]] Mated mate_avx2(std::string_view lines, std::int64_t most,
                                                 char* out) {
  return mate_with<Avx2>(lines, most, out);
}
[[HELIXMATE_AVX512, gnu::flatten]] Mated mate_avx512(std::string_view lines, std::int64_t most,
                                                     char* out) {
  return mate_with<Avx512>(lines, most, out);
}

#endif

// The paths this processor can take, fastest first.
std::span<const MatePath> available_paths() {
#ifdef HELIXMATE_X86
  __builtin_cpu_init();
  static const auto paths = [] {
    struct Paths {
      std::array<MatePath, 4> path;
      std::size_t count = 0;
    } found{};
    const bool bmi = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    if (bmi && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi2")) {
      found.path[found.count++] = {"avx512", mate_avx512};
    }
    if (bmi && __builtin_cpu_supports("avx2")) {
      found.path[found.count++] = {"avx2", mate_avx2};
    }
    if (__builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt")) {
      found.path[found.count++] = {"ssse3", mate_ssse3};
    }
    found.path[found.count++] = {"portable", mate_portable};
    return found;
  }();
  return std::span(paths.path).first(paths.count);
#else
  static constexpr std::array<MatePath, 1> paths = {{{"portable", mate_portable}}};
  return paths;
#endif
}

}  // namespace

std::span<const MatePath> mate_paths() {
  return available_paths();
}

Mated mate_lines(std::string_view lines, std::int64_t most, char* out) {
  static const auto mate = available_paths().front().mate;
  return mate(lines, most, out);
}

}  // namespace helixmate
