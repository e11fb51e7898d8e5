#include "convert/CivilDate.h"

#include <gtest/gtest.h>
#include <optional>

namespace impmap {
namespace {

TEST(CivilDate, ParseIsoDateAcceptsOnlyRealDatesInIsoShape)
{
    struct Case
    {
        const char* text;
        std::optional<CivilDate> date;
    };
    const Case cases[] = {
        {"2022-06-15", CivilDate{2022, 6, 15}},
        {"2024-02-29", CivilDate{2024, 2, 29}},
        {"2023-02-29", std::nullopt},
        {"2022-13-01", std::nullopt},
        {"2022-04-31", std::nullopt},
        {"0000-01-01", std::nullopt},
        {"2022-6-15", std::nullopt},
        {"2022/06/15", std::nullopt},
        {"2022-06-15 ", std::nullopt},
        {"20a2-06-15", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIsoDate(c.text), c.date) << c.text;
}

TEST(CivilDate, LeapYearsFollowTheGregorianRule)
{
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_TRUE(IsValidDate(9999, 12, 31));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));
    EXPECT_FALSE(IsValidDate(2022, 0, 1));
    EXPECT_FALSE(IsValidDate(2022, 1, 0));
    EXPECT_FALSE(IsValidDate(2022, 1, 257));
    EXPECT_FALSE(IsValidDate(2022, 1, 287));
}

TEST(CivilDate, OrdersByYearThenMonthThenDay)
{
    EXPECT_LT((CivilDate{2021, 12, 31}), (CivilDate{2022, 1, 1}));
    EXPECT_LT((CivilDate{2022, 1, 31}), (CivilDate{2022, 2, 1}));
    EXPECT_TRUE(IsValidDate(SystemToday().year, SystemToday().month, SystemToday().day));
}

} // namespace
} // namespace impmap
