#pragma once
// The language the viewer speaks: Korean to Korean desktops, English to all others. The program's
// texts are written in Korean in the sources (they are the Korean UI exactly); English comes from
// the translation compiled into the program (":/i18n/vistrela_en.qm"). Qt's own texts (file
// dialogs, standard buttons) come from Qt's installed translations.
//
// The language is read from the environment, not from setlocale, so a Korean desktop is
// recognised even where the ko_KR locale was never generated: the first entry of LANGUAGE (the
// desktop's list of message languages, "ko:en"), else LC_ALL, LC_MESSAGES, LANG; the first one
// set and not empty decides. UI thread only (installs into the QCoreApplication).

#include <string>

namespace vistrela {

enum class Language { Korean, English };

// The choice of the options dialog; stored as its number.
enum class LanguageChoice { Automatic = 0, Korean = 1, English = 2 };

// "ko", "ko_KR.UTF-8", "ko-KR" ... are Korean; everything else ("C", "en_US", "") English.
Language LanguageOfLocaleName(const std::string& localeName);

// The language of the process environment, as described above.
Language LanguageFromEnvironment();

// `choice`, with Automatic resolved through the environment.
Language ResolveLanguage(LanguageChoice choice);

// The language installed last by InstallTranslations (Korean until then).
Language CurrentLanguage();

// Installs the translators for `language` into the running QCoreApplication (replacing those of
// an earlier call, also those of an earlier application object). Returns false when the
// program's own English translation could not be loaded. Needs a QCoreApplication.
bool InstallTranslations(Language language);

// QCoreApplication::translate as UTF-8, for the core's std::string texts.
std::string TrUtf8(const char* context, const char* sourceText);

}  // namespace vistrela
