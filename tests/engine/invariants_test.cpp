// Invariants are checked where assertions are on (the sanitizer build): a broken one
// stops the program with the condition and its place.

#include <gtest/gtest.h>

#include "engine/DbfLayout.h"
#include "engine/platform/Assert.h"

TEST(Invariants, ABrokenInvariantStopsWithItsCondition) {
#ifdef NDEBUG
    GTEST_SKIP() << "this build does not check invariants";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(XB_ASSERT(2 + 2 == 5), "invariant broken: 2 \\+ 2 == 5");
    TgsDBFLayout layout;
    EXPECT_DEATH(static_cast<void>(layout.RecordOffset(0)), "invariant broken: recno >= 1");
#endif
}
