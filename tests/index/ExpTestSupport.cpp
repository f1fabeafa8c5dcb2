#include "ExpTestSupport.h"

#include "engine/DBFDate.h"

namespace exptest {

double Day(int y, int m, int d) {
    EXPECT_TRUE(TgsDBFDate::ValidDate(y, m, d));
    return static_cast<double>(gsBaseJulianDay + TgsDBFDate::DayCount(y, m, d));
}

}  // namespace exptest
