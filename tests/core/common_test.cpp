#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/strings.h"

namespace vistrela {
namespace {

using Tokens = std::vector<std::string>;

Tokens Split(const std::string& text) {
    Tokens tokens;
    const int count = SplitTokens(text, ' ', tokens, true);
    EXPECT_EQ(count, static_cast<int>(tokens.size()));
    return tokens;
}

TEST(SplitTokens, EverySeparatorEndsAToken) {
    EXPECT_EQ(Split(""), Tokens({""}));
    EXPECT_EQ(Split("abcd"), Tokens({"abcd"}));
    EXPECT_EQ(Split("two words"), Tokens({"two", "words"}));
    EXPECT_EQ(Split("a  b"), Tokens({"a", "", "b"}));
    EXPECT_EQ(Split(" lead"), Tokens({"", "lead"}));
    EXPECT_EQ(Split("trail "), Tokens({"trail", ""}));
    EXPECT_EQ(Split(" "), Tokens({"", ""}));
    // No quoting: quote characters stay part of the tokens.
    EXPECT_EQ(Split("\"my file\".jpg"), Tokens({"\"my", "file\".jpg"}));
}

TEST(SplitTokens, OtherSeparatorsAndAppending) {
    Tokens tokens{"kept"};
    EXPECT_EQ(SplitTokens("1920x1080", 'x', tokens, false), 3);
    EXPECT_EQ(tokens, Tokens({"kept", "1920", "1080"}));
    EXPECT_EQ(SplitTokens("a;b", ';', tokens, true), 2);
    EXPECT_EQ(tokens, Tokens({"a", "b"}));
}

TEST(FormatTimeStamp, FormatsAGivenLocalTime) {
    std::tm local{};
    local.tm_year = 2001 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 11;
    local.tm_min = 1;
    local.tm_sec = 45;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    std::string out = "old";
    FormatTimeStamp(out, "%Y%m%d_%H%M%S", when);
    EXPECT_EQ(out, "20010305_110145");
    FormatTimeStamp(out, "%Y", when);
    EXPECT_EQ(out, "2001");
}

TEST(FormatTimeStamp, ShortFormatsDoNothing) {
    std::string out = "untouched";
    FormatTimeStamp(out, "", 1000);
    EXPECT_EQ(out, "untouched");
    FormatTimeStamp(out, "%", 1000);
    EXPECT_EQ(out, "untouched");
    FormatTimeStamp(out, nullptr, 1000);
    EXPECT_EQ(out, "untouched");
}

TEST(FormatTimeStamp, ZeroOrNegativeMeansNow) {
    for (const std::time_t when : {std::time_t{0}, std::time_t{-5}}) {
        std::string out;
        const std::time_t before = std::time(nullptr);
        FormatTimeStamp(out, "%s", when);  // seconds since the epoch
        const std::time_t after = std::time(nullptr);
        ASSERT_FALSE(out.empty());
        const long long shown = std::stoll(out);
        EXPECT_GE(shown, before);
        EXPECT_LE(shown, after);
    }
}

TEST(FormatTimeStamp, ResultTooLongForTheBufferGivesEmptyText) {
    std::string out = "old";
    FormatTimeStamp(out, std::string(199, 'x').c_str(), 1000);
    EXPECT_EQ(out, std::string(199, 'x'));
    FormatTimeStamp(out, std::string(250, 'x').c_str(), 1000);
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace vistrela
