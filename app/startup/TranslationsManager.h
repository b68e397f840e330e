#pragma once

#include <QPair>
#include <QString>
#include <QVector>

class QTranslator;

/// Chooses and installs the user-interface language: loads
/// "mahjong_<code>.qm" from the "translations" search path, points the
/// "textimages" and "localwww" search paths at the language's folders, and
/// remembers the choice under "game/language".
class TranslationsManager
{
public:
    TranslationsManager();
    ~TranslationsManager();
    TranslationsManager(const TranslationsManager&) = delete;
    TranslationsManager& operator=(const TranslationsManager&) = delete;

    /// Installs the language; false (and nothing changed but the default
    /// locale) when no translation file for it exists.
    bool setLanguage(const QString& lang);
    /// Saved choice, then the installer's language, then the system locale, then English.
    void setInitialLanguage();
    /// (code, own name) of every translation file found, in the order found.
    QVector<QPair<QString, QString>> availableLanguages() const;

    /// The code of the language in use, empty before the first success.
    QString language() const { return lang; }

    static constexpr char defaultLanguage[] = "en";

private:
    QString lang;
    QTranslator* translator = nullptr;
    /// Qt's own texts (the standard buttons of message boxes) in the same
    /// language, where Qt ships them; searched after ours.
    QTranslator* qtTranslator = nullptr;
};

/// The installer's language choice as a language code, empty when none.
QString installerLanguage();
/// The language code of a Windows language identifier ("1033" gives "en"),
/// empty for an identifier that is not known or not a number.
QString languageOfWindowsLanguageId(const QString& id);
/// "<absolute dir>/mahjong_<lang>.qm".
QString translationFileName(const QString& dir, const QString& lang);
