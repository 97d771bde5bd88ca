#include "common/language.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>

#include "gui_app.h"
#include "settings/profile_store.h"
#include "settings/remembered_choices.h"
#include "temp_home.h"
#include "viewer/title.h"

namespace vistrela {
namespace {

TEST(Language, KoreanLocalesOnlyAreKorean) {
    const struct {
        const char* locale;
        Language language;
    } kCases[] = {
        {"ko", Language::Korean},       {"ko_KR.UTF-8", Language::Korean},
        {"ko-KR", Language::Korean},    {"KO_KR.eucKR", Language::Korean},
        {"ko@cjk", Language::Korean},   {"kok_IN", Language::English},
        {"C.UTF-8", Language::English}, {"en_US.UTF-8", Language::English},
        {"POSIX", Language::English},   {"", Language::English},
    };
    for (const auto& c : kCases) EXPECT_EQ(LanguageOfLocaleName(c.locale), c.language) << c.locale;
}

// LANGUAGE's first entry, then LC_ALL, LC_MESSAGES, LANG; an empty one counts as unset.
TEST(Language, FirstSetVariableDecides) {
    const struct {
        const char* list;
        const char* all;
        const char* messages;
        const char* lang;
        Language language;
    } kCases[] = {
        {"", "", "", "ko_KR.UTF-8", Language::Korean},
        {"", "C", "", "ko_KR.UTF-8", Language::English},
        {"", "", "ko_KR.UTF-8", "en_GB.UTF-8", Language::Korean},
        {"", "ko_KR.UTF-8", "C", "C", Language::Korean},
        {"ko:en", "C", "C", "C.UTF-8", Language::Korean},
        {"en_GB:ko", "", "", "ko_KR.UTF-8", Language::English},
        {"", "", "", "", Language::English},
    };
    for (const auto& c : kCases) {
        setenv("LANGUAGE", c.list, 1);
        setenv("LC_ALL", c.all, 1);
        setenv("LC_MESSAGES", c.messages, 1);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(LanguageFromEnvironment(), c.language)
            << c.all << "|" << c.messages << "|" << c.lang;
        EXPECT_EQ(ResolveLanguage(LanguageChoice::English), Language::English);
    }
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
}

// The English built into the program replaces the Korean texts, and goes again with Korean.
TEST(Language, EnglishTranslationIsBuiltInAndCanBeTakenBack) {
    test::EnsureGuiApp();
    TitleInputs in;
    in.frozen = true;
    ASSERT_TRUE(InstallTranslations(Language::English));
    EXPECT_EQ(CurrentLanguage(), Language::English);
    const std::string english = ComposeTitle(in);
    ASSERT_TRUE(InstallTranslations(Language::Korean));
    EXPECT_NE(english.find("[Frozen]"), std::string::npos) << english;
    EXPECT_NE(ComposeTitle(in).find("[정지]"), std::string::npos);
}

// The options dialog's language is kept with the remembered choices, and forgotten with them.
TEST(Language, ChoiceIsRememberedWithTheOtherChoices) {
    test::TempHome home;
    ASSERT_TRUE(home.valid());
    ProfileStore profile(QString::fromStdString(home.path("vistrela.conf")));
    EXPECT_EQ(RememberedLanguage(profile), LanguageChoice::Automatic);
    RememberedChoices choices;
    choices.language = int(LanguageChoice::English);
    StoreRememberedChoices(profile, choices);
    EXPECT_EQ(RememberedLanguage(profile), LanguageChoice::English);
    profile.setValue("Remembered/language", 7);  // out of range: automatic
    EXPECT_EQ(RememberedLanguage(profile), LanguageChoice::Automatic);
    ForgetRememberedChoices(profile);
    EXPECT_EQ(RememberedLanguage(profile), LanguageChoice::Automatic);
}

}  // namespace
}  // namespace vistrela
