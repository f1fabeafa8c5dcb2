#include "app/RandomSource.h"

#include "engine/platform/Clock.h"

#include <random>

namespace {

class StandardRandom : public RandomSource {
public:
    void Seed(uint32_t seed) override { gen_.seed(seed); }
    int Uniform(int lo, int hi) override { return std::uniform_int_distribution<int>(lo, hi)(gen_); }

private:
    std::mt19937 gen_{5489u};
};

std::shared_ptr<RandomSource>& Current() {
    static std::shared_ptr<RandomSource> source = std::make_shared<StandardRandom>();
    return source;
}

}  // namespace

std::shared_ptr<RandomSource> SetRandomSource(std::shared_ptr<RandomSource> source) {
    std::shared_ptr<RandomSource> old = Current();
    Current() = source ? std::move(source) : std::make_shared<StandardRandom>();
    return old;
}

RandomSource& CurrentRandomSource() { return *Current(); }

int DrawRightAnswerPos() {
    const platform::DateTime t = platform::Now();
    const uint32_t msOfDay = uint32_t(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond);
    RandomSource& r = CurrentRandomSource();
    r.Seed(msOfDay);
    return r.Uniform(1, 5);
}
