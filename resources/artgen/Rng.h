#pragma once

// A tiny fixed-seed generator (SplitMix64): the same numbers on every run and every standard library,
// so the pictures never change from one build to the next.

#include <cstdint>

namespace qbv::artgen {

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}

    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    // Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * unit(); }

    // Uniform integer in [low, high].
    int integer(int low, int high) {
        return low + static_cast<int>(next() % static_cast<uint64_t>(high - low + 1));
    }

private:
    uint64_t m_state;
};

} // namespace qbv::artgen
