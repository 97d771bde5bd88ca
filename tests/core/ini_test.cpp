#include "settings/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "temp_home.h"

using vistrela::CIni;
using vistrela::ParseUInt32;
using vistrela::test::TempHome;
using vistrela::test::WriteFile;

namespace {

class IniTest : public ::testing::Test {
protected:
    // Writes `text` as the ini file and binds the reader to it.
    void Use(const std::string& text) {
        ASSERT_TRUE(home.valid());
        path = home.path("test.ini");
        ASSERT_TRUE(WriteFile(path, text));
        ini.SetPathName(path.c_str());
    }
    std::string Get(const char* section, const char* key) const {
        return ini.GetString(section, key, "<default>");
    }

    TempHome home;
    std::string path;
    CIni ini;
};

TEST_F(IniTest, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
    Use("[Main]\n"
        "  JpgQ  =   80   \n"
        "\tPath\t=\t/srv/pictures  \n"
        "[Ärger]\n"
        "Schlüssel=ja\n");
    EXPECT_EQ(Get("main", "jpgq"), "80");
    EXPECT_EQ(Get("MAIN", "JPGQ"), "80");
    EXPECT_EQ(Get("main", "path"), "/srv/pictures");
    EXPECT_EQ(Get("ärger", "SCHLÜSSEL"), "ja");
    EXPECT_EQ(Get("mai", "jpgq"), "<default>");
    EXPECT_EQ(Get("main", "jpg"), "<default>");
}

TEST_F(IniTest, MatchingQuotesAreUnwrappedOthersKept) {
    Use("[s]\n"
        "a=\"  spaced  \"\n"
        "b='single'\n"
        "c=\"mixed'\n"
        "d=\"\n"
        "e=\"\"\n"
        "f=say \"hi\"\n");
    EXPECT_EQ(Get("s", "a"), "  spaced  ");
    EXPECT_EQ(Get("s", "b"), "single");
    EXPECT_EQ(Get("s", "c"), "\"mixed'");
    EXPECT_EQ(Get("s", "d"), "\"");
    EXPECT_EQ(Get("s", "e"), "");
    EXPECT_EQ(Get("s", "f"), "say \"hi\"");
}

TEST_F(IniTest, CommentsAndLinesWithoutEqualsAreSkipped) {
    Use("; jpgq=1\n"
        "[main]\n"
        "# jpgq=2\n"
        "   ; jpgq=3\n"
        "jpgq\n"
        "[broken\n"
        "jpgq = 4 ; not a comment\n");
    EXPECT_EQ(Get("main", "jpgq"), "4 ; not a comment");
    EXPECT_EQ(Get("main", "# jpgq"), "<default>");
}

TEST_F(IniTest, FirstSectionAndFirstKeyWin) {
    Use("[main]\n"
        "jpgq=10\n"
        "jpgq=20\n"
        "[other]\n"
        "path=/a\n"
        "[MAIN]\n"
        "jpgq=30\n"
        "fname=second.jpg\n");
    EXPECT_EQ(Get("main", "jpgq"), "10");
    // Keys of a repeated section are never seen.
    EXPECT_EQ(Get("main", "fname"), "<default>");
    EXPECT_EQ(Get("other", "path"), "/a");
}

TEST_F(IniTest, KeysBeforeAnySectionBelongToNone) {
    Use("jpgq=5\n[main]\npath=/p\n");
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
    EXPECT_EQ(Get("", "jpgq"), "<default>");
    EXPECT_EQ(Get("main", "path"), "/p");
}

TEST_F(IniTest, MissingFileSectionKeyOrNullsGiveTheDefault) {
    Use("[main]\njpgq=80\n");
    EXPECT_EQ(ini.GetString("main", "nokey", nullptr), "");
    EXPECT_EQ(ini.GetString(nullptr, "jpgq", "d"), "d");
    EXPECT_EQ(ini.GetString("main", nullptr, nullptr), "");
    EXPECT_EQ(ini.GetUInt("main", "nokey", 17, 10), 17u);

    ini.SetPathName(home.path("absent.ini").c_str());
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
    ini.SetPathName(nullptr);
    EXPECT_EQ(ini.PathName(), "");
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
    // A folder is not a readable ini.
    ini.SetPathName(home.home().c_str());
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
}

TEST_F(IniTest, UnreadableFileGivesTheDefault) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    Use("[main]\njpgq=80\n");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
    EXPECT_EQ(ini.GetUInt("main", "jpgq", 99, 10), 99u);
}

TEST_F(IniTest, ByteOrderMarkAndEveryLineEnd) {
    Use("\xEF\xBB\xBF[main]\r\njpgq=80\r\npath=/x\rfname=a.jpg\n\r\nautonum=2");
    EXPECT_EQ(Get("main", "jpgq"), "80");
    EXPECT_EQ(Get("main", "path"), "/x");
    EXPECT_EQ(Get("main", "fname"), "a.jpg");
    EXPECT_EQ(Get("main", "autonum"), "2");
}

TEST_F(IniTest, LongLinesAreReadWhole) {
    const std::string longValue(100000, 'v');
    const std::string noise(100000, 'n');
    Use(noise + "\n[main]\n" + noise + "\n" + std::string(100000, ' ') + "\npath=" + longValue +
        "\njpgq=7\n");
    EXPECT_EQ(Get("main", "path"), longValue);
    EXPECT_EQ(Get("main", "jpgq"), "7");
}

TEST_F(IniTest, EmptyAndBinaryFilesLoadSafely) {
    Use("");
    EXPECT_EQ(Get("main", "jpgq"), "<default>");

    std::mt19937 random(1234);
    std::string binary;
    for (int i = 0; i < 65536; ++i) binary.push_back(static_cast<char>(random() & 0xFF));
    Use(binary);
    EXPECT_EQ(Get("main", "jpgq"), "<default>");
    // NUL bytes end lines, so a key after binary junk is still found.
    Use(binary + std::string("\0[main]\0jpgq=77\0", 16));
    EXPECT_EQ(Get("main", "jpgq"), "77");
}

TEST_F(IniTest, EditsShowAtTheNextRead) {
    Use("[main]\njpgq=1\n");
    EXPECT_EQ(Get("main", "jpgq"), "1");
    ASSERT_TRUE(WriteFile(path, "[main]\njpgq=2\n"));
    EXPECT_EQ(Get("main", "jpgq"), "2");
}

TEST_F(IniTest, BufferReadCutsAtCharacterBoundaries) {
    Use("[s]\nk=가나다\nshort=ab\n");
    char buffer[16];
    EXPECT_EQ(ini.GetString("s", "short", buffer, sizeof buffer, nullptr), 2);
    EXPECT_STREQ(buffer, "ab");
    // 9 bytes into 5: only whole characters, and a result equal to the size says "cut".
    EXPECT_EQ(ini.GetString("s", "k", buffer, 5, nullptr), 5);
    EXPECT_STREQ(buffer, "가");
    EXPECT_EQ(ini.GetString("s", "k", buffer, 1, nullptr), 1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ini.GetString("s", "none", buffer, sizeof buffer, "dflt"), 4);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(ini.GetString("s", "k", nullptr, 5, nullptr), 0);
}

TEST_F(IniTest, UIntEmptyOrBlankValueGivesDefault) {
    Use("[s]\nempty=\nblank=   \nquoted=\"\"\nword=abc\n");
    EXPECT_EQ(ini.GetUInt("s", "empty", 42, 10), 42u);
    EXPECT_EQ(ini.GetUInt("s", "blank", 42, 10), 42u);
    EXPECT_EQ(ini.GetUInt("s", "quoted", 42, 10), 42u);
    EXPECT_EQ(ini.GetUInt("s", "word", 42, 10), 0u);
}

TEST_F(IniTest, UIntReadsOnlyTheFirst64Characters) {
    Use("[s]\n"
        "a=" +
        std::string(63, '0') + "5\n" + "b=" + std::string(64, '0') + "5\n");
    EXPECT_EQ(ini.GetUInt("s", "a", 1, 10), 5u);
    EXPECT_EQ(ini.GetUInt("s", "b", 1, 10), 0u);
}

TEST(ParseUInt32, BasesAsStrtoul) {
    EXPECT_EQ(ParseUInt32("ff", 16), 255u);
    EXPECT_EQ(ParseUInt32("0x1A", 16), 26u);
    EXPECT_EQ(ParseUInt32("0X1a", 16), 26u);
    EXPECT_EQ(ParseUInt32("0xg", 16), 0u);
    EXPECT_EQ(ParseUInt32("0x", 16), 0u);
    EXPECT_EQ(ParseUInt32("0x10", 10), 0u);
    EXPECT_EQ(ParseUInt32("777", 8), 511u);
    EXPECT_EQ(ParseUInt32("78", 8), 7u);
    EXPECT_EQ(ParseUInt32("1012", 2), 5u);
    // Any other base means 10.
    EXPECT_EQ(ParseUInt32("19", 7), 19u);
    EXPECT_EQ(ParseUInt32("1f", 0), 1u);
    EXPECT_EQ(ParseUInt32("1f", 36), 1u);
}

TEST(ParseUInt32, BlanksSignsAndStops) {
    EXPECT_EQ(ParseUInt32(" \t\n42abc", 10), 42u);
    EXPECT_EQ(ParseUInt32("+7", 10), 7u);
    EXPECT_EQ(ParseUInt32("abc", 10), 0u);
    EXPECT_EQ(ParseUInt32("-", 10), 0u);
    EXPECT_EQ(ParseUInt32("- 5", 10), 0u);
    EXPECT_EQ(ParseUInt32("", 10), 0u);
}

TEST(ParseUInt32, WrapsAndSaturatesLike32BitUnsignedLong) {
    EXPECT_EQ(ParseUInt32("-1", 10), 4294967295u);
    EXPECT_EQ(ParseUInt32("-5", 10), 4294967291u);
    EXPECT_EQ(ParseUInt32("-0", 10), 0u);
    EXPECT_EQ(ParseUInt32("4294967295", 10), 4294967295u);
    EXPECT_EQ(ParseUInt32("4294967296", 10), 4294967295u);
    EXPECT_EQ(ParseUInt32("-4294967296", 10), 4294967295u);
    EXPECT_EQ(ParseUInt32("-4294967295", 10), 1u);
    EXPECT_EQ(ParseUInt32(std::string(60, '9'), 10), 4294967295u);
    EXPECT_EQ(ParseUInt32("100000000", 16), 4294967295u);
}

}  // namespace
