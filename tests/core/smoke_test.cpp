#include <gtest/gtest.h>

#include "common/strings.h"

TEST(Strings, FormatCutsAtLimit) {
    const std::string big(vistrela::kFormatLimit + 10, 'x');
    EXPECT_EQ(vistrela::FormatString("%s", big.c_str()).size(), vistrela::kFormatLimit);
}
