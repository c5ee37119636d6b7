#pragma once

#include <cstddef>
#include <cstdint>

namespace quellar::bench {

// splitmix64: tiny, fast and the same on every machine, unlike the standard
// distributions, so every run of a benchmark measures the same data.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number in [0, bound).
  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

  bool Chance(unsigned percent) { return Below(100) < percent; }

  // A number in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

 private:
  std::uint64_t state_;
};

}  // namespace quellar::bench
