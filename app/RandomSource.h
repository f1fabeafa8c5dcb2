#pragma once
// The random source of the answer arrangement. The test window re-seeds it from the time
// of day before every question and then draws the position of the right answer; tests
// install a source of their own.

#include <cstdint>
#include <memory>

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Seed(uint32_t seed) = 0;
    // A uniform draw from lo to hi, both included.
    virtual int Uniform(int lo, int hi) = 0;
};

// Installs `source` (null restores the standard generator); answers the previous one.
std::shared_ptr<RandomSource> SetRandomSource(std::shared_ptr<RandomSource> source);
RandomSource& CurrentRandomSource();

// Re-seeds the source from the time of day and draws a position from 1 to 5.
int DrawRightAnswerPos();
