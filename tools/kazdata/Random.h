#pragma once
// A small deterministic random source (SplitMix64): the same seed gives the same numbers
// on every machine, so generated variants never change unless the generator does.

#include <cstdint>

namespace kazdata {

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1 (n > 0).
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    // A number from lo to hi, both included.
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }

  private:
    uint64_t state_;
};

}  // namespace kazdata
