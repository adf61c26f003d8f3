#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "common/sizetext.h"

namespace tw {
namespace {

struct SizeCase {
    int64_t bytes;
    const char* text;
};

constexpr int64_t Kb = 1024;
constexpr int64_t Mb = 1024 * Kb;
constexpr int64_t Gb = 1024 * Mb;

const SizeCase sizeCases[] = {
    {0, "0 b"},
    {1, "1 b"},
    {-5, "-5 b"},
    {-1048576, "-1048576 b"},
    {std::numeric_limits<int64_t>::min(), "-9223372036854775808 b"},
    {1023, "1023 b"},
    {1024, "1024 b"},
    {1025, "1.00 Kb"},
    {1536, "1.50 Kb"},
    // 1029 / 1024 = 1.004882...: rounds down; 1034 / 1024 = 1.009765...: rounds up.
    {1029, "1.00 Kb"},
    {1034, "1.01 Kb"},
    // 1.005 exactly is not a multiple of 1/1024; 1.125 is, and 1.125 rounds to 1.13.
    {1152, "1.13 Kb"},
    {Mb - 1, "1024.00 Kb"},
    {Mb, "1024.00 Kb"},
    {Mb + 1, "1.00 Mb"},
    {Mb + Mb / 2, "1.50 Mb"},
    {Gb, "1024.00 Mb"},
    {Gb + 1, "1.00 Gb"},
    {5 * Gb, "5.00 Gb"},
    {2 * 1024 * Gb, "2048.00 Gb"},
    // Halves go away from zero: 1.125 Gb and 1.375 Gb.
    {Gb + Gb / 8, "1.13 Gb"},
    {Gb + 3 * Gb / 8, "1.38 Gb"},
    {std::numeric_limits<int64_t>::max(), "8589934592.00 Gb"},
};

class SizeTextTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeTextTest, RendersTheCount)
{
    EXPECT_EQ(SizeText(GetParam().bytes), GetParam().text) << "SizeText(" << GetParam().bytes << ")";
}

INSTANTIATE_TEST_SUITE_P(Table, SizeTextTest, testing::ValuesIn(sizeCases));

} // namespace
} // namespace tw
