#include "common/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>
#include <cstring>

namespace vistrela {

namespace {

Language g_current = Language::Korean;

// The translators live as long as the program; an application object made later (the command
// line is answered before the window's application exists) gets the same ones.
struct Translators {
    QTranslator own;
    QTranslator qtBase;
};

Translators& translators() {
    static Translators* t = new Translators;  // never destroyed: outlives every application
    return *t;
}

}  // namespace

Language LanguageOfLocaleName(const std::string& localeName) {
    const bool korean = localeName.size() >= 2 && (localeName[0] == 'k' || localeName[0] == 'K') &&
                        (localeName[1] == 'o' || localeName[1] == 'O') &&
                        (localeName.size() == 2 || localeName[2] == '_' || localeName[2] == '-' ||
                         localeName[2] == '.' || localeName[2] == '@');
    return korean ? Language::Korean : Language::English;
}

Language LanguageFromEnvironment() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0' || *value == ':') continue;
        const std::string first(value, std::strcspn(value, ":"));
        return LanguageOfLocaleName(first);
    }
    return Language::English;
}

Language ResolveLanguage(LanguageChoice choice) {
    switch (choice) {
        case LanguageChoice::Korean:
            return Language::Korean;
        case LanguageChoice::English:
            return Language::English;
        case LanguageChoice::Automatic:
            break;
    }
    return LanguageFromEnvironment();
}

Language CurrentLanguage() {
    return g_current;
}

bool InstallTranslations(Language language) {
    Translators& t = translators();
    QCoreApplication::removeTranslator(&t.own);
    QCoreApplication::removeTranslator(&t.qtBase);
    g_current = language;
    bool ok = true;
    if (language == Language::English) {
        ok = t.own.load(QStringLiteral(":/i18n/vistrela_en.qm"));
        if (ok) QCoreApplication::installTranslator(&t.own);
    } else if (t.qtBase.load(QStringLiteral("qtbase_ko"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        // Without Qt's translations installed, Qt's dialogs stay English; the program's own
        // texts are Korean regardless.
        QCoreApplication::installTranslator(&t.qtBase);
    }
    return ok;
}

std::string TrUtf8(const char* context, const char* sourceText) {
    return QCoreApplication::translate(context, sourceText).toStdString();
}

}  // namespace vistrela
