#include "ExpTestSupport.h"

#include "index/expr/ExpDates.h"

namespace exptest {

double Day(int y, int m, int d) {
    int64_t days = 0;
    EXPECT_TRUE(expdate::DaysFromCivil(y, m, d, days));
    return static_cast<double>(expdate::kBaseDay + days);
}

}  // namespace exptest
