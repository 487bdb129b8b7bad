#include "monitor/Language.h"

#include "monitor/PlainTranslator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QLibraryInfo>
#include <QTranslator>

namespace monitor {

namespace {

Language installedLanguage = Language::Chinese;

bool IsChineseTag(const QString& tag)
{
    return tag == QLatin1String("C") || tag == QLatin1String("POSIX")
        || tag.startsWith(QLatin1String("zh"), Qt::CaseInsensitive);
}

bool IsEnglishTag(const QString& tag)
{
    return tag.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0
        || tag.startsWith(QLatin1String("en-"), Qt::CaseInsensitive)
        || tag.startsWith(QLatin1String("en_"), Qt::CaseInsensitive);
}

} // namespace

bool IsLanguageOption(const QString& langOption)
{
    const QString value = langOption.trimmed();
    return value.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0
        || value.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}

Language ChooseLanguage(const QString& langOption, const QStringList& uiLanguages)
{
    if (IsLanguageOption(langOption))
        return IsChineseTag(langOption.trimmed().toLower()) ? Language::Chinese : Language::English;
    for (const QString& tag : uiLanguages) {
        if (IsChineseTag(tag))
            return Language::Chinese;
        if (IsEnglishTag(tag))
            return Language::English;
    }
    return uiLanguages.isEmpty() ? Language::Chinese : Language::English;
}

QString LanguageCode(Language language)
{
    return language == Language::Chinese ? QStringLiteral("zh_CN") : QStringLiteral("en");
}

QStringList InstallTranslations(QCoreApplication& application, Language language)
{
    const QString code = LanguageCode(language);
    QStringList files;
    for (const char* name : {"telemon", "decode", "analysis"})
        files.append(QStringLiteral(":/i18n/%1_%2.qm").arg(QLatin1String(name), code));
    files.append(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_%1.qm").arg(code));

    // The translations of an earlier call give way to this language's.
    static QList<QPointer<QTranslator>> installed;
    for (const QPointer<QTranslator>& translator : installed) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installed.clear();
    installedLanguage = language;
    PlainTranslationsChanged();

    QStringList loaded;
    for (const QString& file : files) {
        if (!QFileInfo::exists(file))
            continue;
        auto* translator = new QTranslator(&application);
        if (translator->load(file) && QCoreApplication::installTranslator(translator)) {
            loaded.append(file);
            installed.append(translator);
        } else {
            delete translator;
        }
    }
    return loaded;
}

Language InstalledLanguage()
{
    return installedLanguage;
}

QString PageInLanguage(const QString& page, Language language)
{
    if (language == Language::Chinese)
        return page;
    const qsizetype dot = page.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = page.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1)
        return page;
    QString translated = page;
    translated.insert(dot, QLatin1Char('_') + LanguageCode(language));
    return QFileInfo::exists(translated) ? translated : page;
}

QString Translated(const char* context, const QString& source)
{
    return QCoreApplication::translate(context, source.toUtf8().constData());
}

} // namespace monitor
