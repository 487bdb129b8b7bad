#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace monitor {

// The language of the windows' texts. The Chinese texts are the source texts
// of the programs; English comes from the translations embedded in each
// program (":/i18n/<name>_en.qm").
enum class Language { Chinese, English };

// The language a program starts in: the value of --lang ("zh" or "en") when
// given, otherwise the first of the user's interface languages (Qt's
// QLocale::uiLanguages(), which follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG)
// that is Chinese ("zh…"), English ("en…") or the C/POSIX locale (Chinese,
// as the programs have always been); none of them: English.
[[nodiscard]] Language ChooseLanguage(const QString& langOption, const QStringList& uiLanguages);

// Whether a --lang value is one ChooseLanguage knows ("zh", "en"; the case is
// not significant).
[[nodiscard]] bool IsLanguageOption(const QString& langOption);

// "zh_CN" or "en": the suffix of the translation files of the language.
[[nodiscard]] QString LanguageCode(Language language);

// Installs into the application every translation of the language that
// exists: the programs' own embedded ones (":/i18n/telemon_<code>.qm",
// "decode_<code>.qm", "analysis_<code>.qm") and Qt's own ("qtbase_<code>.qm"
// from Qt's translations folder). The translators live as long as the
// application. Returns the files loaded.
QStringList InstallTranslations(QCoreApplication& application, Language language);

// The language of the last InstallTranslations call; Chinese before any.
[[nodiscard]] Language InstalledLanguage();

// A page of the program's resources in the language of its texts: under
// English the page of the same name with "_en" before its extension
// (":/ostrel/help/Ostrel.html" -> ":/ostrel/help/Ostrel_en.html") when the
// program has it; otherwise the page itself, the Chinese one.
[[nodiscard]] QString PageInLanguage(const QString& page, Language language);

// The translation of a source text marked where it is defined with
// QT_TRANSLATE_NOOP(context, text); any other text unchanged.
[[nodiscard]] QString Translated(const char* context, const QString& source);

} // namespace monitor
