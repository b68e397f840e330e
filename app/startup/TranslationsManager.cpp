#include "TranslationsManager.h"

#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace {

/// The directory itself when it names a search path or a resource; the
/// absolute path of a plain directory.
QString absoluteDir(const QString& dir)
{
    if (dir.startsWith(QLatin1Char(':')))
        return QDir::cleanPath(dir);
    const int colon = dir.indexOf(QLatin1Char(':'));
    if (colon > 1 && !QDir::searchPaths(dir.left(colon)).isEmpty())
        return dir;
    return QDir(dir).absolutePath();
}

/// The translated name of the language in the translator.
QString languageName(const QTranslator& translator)
{
    // Each translation names its own language through this text.
    static const struct {
        const char* source;
        const char* comment;
    } english = QT_TRANSLATE_NOOP3(
        "TranslationsManager", "English",
        "Translated language name, i.e. for a german translation it would be \"Deutsch\".");
    return translator.translate("TranslationsManager", english.source, english.comment);
}

}

QString translationFileName(const QString& dir, const QString& lang)
{
    return QStringLiteral("%1/mahjong_%2.qm").arg(absoluteDir(dir), lang);
}

TranslationsManager::TranslationsManager() = default;

TranslationsManager::~TranslationsManager()
{
    delete translator;
    delete qtTranslator;
}

bool TranslationsManager::setLanguage(const QString& newLang)
{
    QLocale::setDefault(QLocale(newLang));
    if (newLang == lang && translator != nullptr)
        return true;

    auto* next = new QTranslator;
    QString loadedFile;
    const QStringList dirs = QDir::searchPaths(QStringLiteral("translations"));
    for (const QString& dir : dirs) {
        const QString file = translationFileName(dir, newLang);
        if (next->load(file)) {
            loadedFile = file;
            break;
        }
    }
    if (loadedFile.isEmpty()) {
        delete next;
        return false;
    }

    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    if (qtTranslator != nullptr) {
        QCoreApplication::removeTranslator(qtTranslator);
        delete qtTranslator;
        qtTranslator = nullptr;
    }
    // Qt's translator goes in first: the one installed last is asked first.
    auto* qt = new QTranslator;
    if (qt->load(QLocale(newLang), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qtTranslator = qt;
        QCoreApplication::installTranslator(qtTranslator);
    } else {
        delete qt;
    }
    translator = next;
    QCoreApplication::installTranslator(translator);
    lang = newLang;

    // The loader falls back to shorter names (ja_JP finds mahjong_ja.qm): the
    // language is then the code of the file that was found.
    const int underscore = lang.indexOf(QLatin1Char('_'));
    if (underscore >= 0 && !QFileInfo::exists(loadedFile))
        lang = lang.left(underscore);

    QDir::setSearchPaths(QStringLiteral("textimages"),
                         {QStringLiteral("resources:/text-images/") + lang, QStringLiteral("resources:/text-images")});
    QDir::setSearchPaths(QStringLiteral("localwww"),
                         {QStringLiteral("resources:/www/") + lang, QStringLiteral("resources:/www")});

    SettingsStore::instance().setValue(QStringLiteral("game/language"), lang);
    return true;
}

void TranslationsManager::setInitialLanguage()
{
    const QString saved = QSettings().value(QStringLiteral("game/language")).toString();
    if (!saved.isEmpty()) {
        if (!setLanguage(saved))
            setLanguage(QLatin1String(defaultLanguage));
        return;
    }
    const QString installer = installerLanguage();
    if (installer.isEmpty()) {
        qDebug() << "no installer language found, trying system locale: " << QLocale::system().name();
        if (!setLanguage(QLocale::system().name()))
            setLanguage(QLatin1String(defaultLanguage));
        return;
    }
    if (!setLanguage(installer)) {
        qWarning() << "failed to set installer language" << installer;
        setLanguage(QLatin1String(defaultLanguage));
    }
}

QVector<QPair<QString, QString>> TranslationsManager::availableLanguages() const
{
    QVector<QPair<QString, QString>> result;
    const QStringList dirs = QDir::searchPaths(QStringLiteral("translations"));
    for (const QString& dirName : dirs) {
        const QDir dir(dirName);
        const QStringList files = dir.entryList({QStringLiteral("*.qm")});
        const QString base = absoluteDir(dirName);
        for (const QString& file : files) {
            QString code = file;
            const int underscore = code.indexOf(QLatin1Char('_'));
            if (underscore >= 0)
                code = code.mid(underscore + 1);
            const int dot = code.lastIndexOf(QLatin1Char('.'));
            if (dot >= 0)
                code = code.left(dot);

            QTranslator translator;
            if (!translator.load(file, base)) {
                qWarning() << "failed to load" << base + QDir::separator() + file;
                continue;
            }
            const QString name = languageName(translator);
            if (name.isEmpty()) {
                qWarning() << "no translation of \"English\" in context"
                           << "\"TranslationsManager\" in file " << QDir::cleanPath(base + QLatin1Char('/') + file);
                continue;
            }
            result.append({code, name});
        }
    }
    return result;
}

QString languageOfWindowsLanguageId(const QString& id)
{
    bool ok = false;
    const int value = id.toInt(&ok);
    if (!ok)
        return QString();
    switch (value) {
    case 1033:
    case 2057:
        return QStringLiteral("en");
    case 1053:
        return QStringLiteral("sv");
    default:
        return QString();
    }
}

QString installerLanguage()
{
    QSettings settings(QCoreApplication::organizationName(), QStringLiteral("Installer"));
    const QString value = settings.value(QStringLiteral("Installer Language")).toString();
    if (value.isEmpty()) {
        qDebug() << "no \"Installer Language\" key found at" << settings.fileName();
        return QString();
    }
    qDebug() << "installer language setting" << value;
    return languageOfWindowsLanguageId(value);
}
