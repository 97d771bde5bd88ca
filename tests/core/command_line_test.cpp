#include "settings/command_line.h"

#include <gtest/gtest.h>

namespace vistrela {
namespace {

TEST(CommandLine, NoArgumentsOrShortNamesKeepOneShotOff) {
    const CommandLine none = ParseCommandLine({});
    EXPECT_FALSE(none.help);
    EXPECT_FALSE(none.version);
    EXPECT_EQ(none.autoCaptureSeconds, 0);
    EXPECT_EQ(none.commandLineName, "");
    EXPECT_EQ(none.oneShotCapture, 0);
    EXPECT_EQ(none.error, "");

    for (const char* name : {"", "a", "abc", "가"}) {  // "가" is 3 bytes
        SCOPED_TRACE(name);
        const CommandLine c = ParseCommandLine({name});
        EXPECT_EQ(c.commandLineName, name);
        EXPECT_EQ(c.oneShotCapture, 0);
    }
}

TEST(CommandLine, FourBytesOrMoreStartTheOneShotRun) {
    EXPECT_EQ(ParseCommandLine({"abcd"}).oneShotCapture, 1);
    EXPECT_EQ(ParseCommandLine({"가나"}).oneShotCapture, 1);
    const CommandLine c = ParseCommandLine({"/tmp/shot.jpg", "ignored.jpg"});
    EXPECT_EQ(c.commandLineName, "/tmp/shot.jpg");
    EXPECT_EQ(c.oneShotCapture, 1);
}

TEST(CommandLine, AnArgumentWithBlanksIsCutAtTheFirstBlank) {
    const CommandLine words = ParseCommandLine({"my picture.jpg"});
    EXPECT_EQ(words.commandLineName, "my");
    EXPECT_EQ(words.oneShotCapture, 0);
    const CommandLine quoted = ParseCommandLine({"\"long name\".jpg"});
    EXPECT_EQ(quoted.commandLineName, "\"long");
    EXPECT_EQ(quoted.oneShotCapture, 1);
    // A leading blank gives an empty first token.
    const CommandLine lead = ParseCommandLine({" shot.jpg"});
    EXPECT_EQ(lead.commandLineName, "");
    EXPECT_EQ(lead.oneShotCapture, 0);
}

TEST(CommandLine, Options) {
    const CommandLine c =
        ParseCommandLine({"--version", "--auto-capture", "5", "shot.jpg", "--help"});
    EXPECT_TRUE(c.help);
    EXPECT_TRUE(c.version);
    EXPECT_EQ(c.autoCaptureSeconds, 5);
    EXPECT_EQ(c.commandLineName, "shot.jpg");
    EXPECT_EQ(c.oneShotCapture, 1);
    EXPECT_EQ(c.error, "");

    EXPECT_EQ(ParseCommandLine({"--auto-capture=12"}).autoCaptureSeconds, 12);
    EXPECT_EQ(ParseCommandLine({"--auto-capture", "86400"}).autoCaptureSeconds, 86400);
    const CommandLine ended = ParseCommandLine({"--", "--odd-name.jpg"});
    EXPECT_EQ(ended.error, "");
    EXPECT_EQ(ended.commandLineName, "--odd-name.jpg");
}

TEST(CommandLine, BadOptionsAreErrorsWithAMessage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--auto-capture"},
             {"--auto-capture", "0"},
             {"--auto-capture", "-3"},
             {"--auto-capture", "abc"},
             {"--auto-capture", "5s"},
             {"--auto-capture", "99999999999"},
             // Past one day: as milliseconds these wrap an int to a negative or tiny interval.
             {"--auto-capture", "86401"},
             {"--auto-capture", "2147484"},
             {"--auto-capture=4294968"},
             {"--auto-capture="},
             {"--bogus"},
         }) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        const CommandLine c = ParseCommandLine(args);
        EXPECT_FALSE(c.error.empty());
        EXPECT_EQ(c.autoCaptureSeconds, 0);
    }
    EXPECT_NE(ParseCommandLine({"--auto-capture", "abc"}).error.find("abc"), std::string::npos);
    EXPECT_NE(ParseCommandLine({"--bogus"}).error.find("--bogus"), std::string::npos);
    EXPECT_NE(CommandLineUsage().find("--auto-capture"), std::string::npos);
}

}  // namespace
}  // namespace vistrela
