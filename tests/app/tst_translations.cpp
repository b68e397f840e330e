#include "CommandLine.h"
#include "LobbyWindow.h"
#include "MahjongApplication.h"
#include "ProtocolValues.h"
#include "ScoreBoard.h"
#include "TableTexts.h"
#include "TranslationsManager.h"
#include "Utils.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
        QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7"));
        setupSearchPaths({});
    }

    void init()
    {
        QSettings().clear();
        QSettings(QCoreApplication::organizationName(), QStringLiteral("Installer")).clear();
    }

    void compiledFilesAreFound()
    {
        for (const char* code : {"en", "ja", "zh"})
            QVERIFY2(QFile::exists(QStringLiteral("translations:/mahjong_%1.qm").arg(QLatin1String(code))), code);
    }

    void availableLanguagesNameThemselves()
    {
        TranslationsManager tm;
        const auto languages = tm.availableLanguages();
        QMap<QString, QString> names;
        for (const auto& entry : languages)
            names.insert(entry.first, entry.second);
        QCOMPARE(names.value(QStringLiteral("en")), QStringLiteral("English"));
        QCOMPARE(names.value(QStringLiteral("ja")), QStringLiteral("日本語"));
        QCOMPARE(names.value(QStringLiteral("zh")), QStringLiteral("中文"));
    }

    void switchingLanguagesAtRunTime()
    {
        TranslationsManager tm;
        QVERIFY(tm.setLanguage(QStringLiteral("ja")));
        wire::score_record record; // on a score board open through the switches
        record.points = {{1, 10}};
        ScoreBoard board(nullptr);
        board.showScores({playerScoreFromWire(record)}, -1, 1, TableInfo(), false);
        const QTextEdit* list = board.part<QTextEdit>("score1");
        QVERIFY(list->toPlainText().contains(QStringLiteral("和了")));
        QCOMPARE(tm.language(), QStringLiteral("ja"));
        QCOMPARE(MahjongApplication::tr("Error"), QStringLiteral("エラー"));
        QCOMPARE(notAvailableText(), QStringLiteral("該当なし"));
        QCOMPARE(QSettings().value(QStringLiteral("game/language")).toString(), QStringLiteral("ja"));
        QCOMPARE(QLocale().name(), QStringLiteral("ja_JP"));

        QVERIFY(tm.setLanguage(QStringLiteral("zh")));
        QCOMPARE(MahjongApplication::tr("Error"), QStringLiteral("错误"));
        QCOMPARE(formatDuration(3 * 86400), QStringLiteral("3天"));
        // A ruleset has one name: the lobby's filter calls it what its Rules column does.
        for (const char* lang : {"ja", "zh"}) {
            QVERIFY(tm.setLanguage(QLatin1String(lang)));
            LobbyWindow lobby;
            QCOMPARE(lobby.findChild<QCheckBox*>(QStringLiteral("riichiRules"))->text(), rulesetText(2));
            QCOMPARE(lobby.findChild<QCheckBox*>(QStringLiteral("internationalRules"))->text(), rulesetText(1));
            QFile start(QStringLiteral("localwww:/welcome.html"));
            QVERIFY2(start.open(QIODevice::ReadOnly) && QString::fromUtf8(start.readAll()).contains(rulesetText(2)), lang);
        }

        QVERIFY(tm.setLanguage(QStringLiteral("en")));
        QCOMPARE(MahjongApplication::tr("Error"), QStringLiteral("Error"));
        QCOMPARE(formatDuration(86400), QStringLiteral("1 day"));
        QCOMPARE(formatDuration(2 * 86400), QStringLiteral("2 days"));
        QCOMPARE(formatDuration(1), QStringLiteral("1 second"));
        QCOMPARE(formatDuration(120), QStringLiteral("2 mins"));
        QCOMPARE(timeLimitText(20000), QStringLiteral("20 seconds"));
        QTRY_VERIFY(list->toPlainText().contains(QStringLiteral("Going mahjong")));
        // Only one of our translators is installed at any time.
        QCOMPARE(notAvailableText(), QStringLiteral("N/A"));
    }

    void standardButtonsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("ja") << "ja";
        QTest::newRow("zh") << "zh";
    }
    void standardButtonsFollowTheLanguage()
    {
        QFETCH(QString, lang);
        TranslationsManager tm;
        QDialogButtonBox english(QDialogButtonBox::Yes | QDialogButtonBox::No);
        const QString yes = english.button(QDialogButtonBox::Yes)->text();
        QVERIFY(tm.setLanguage(lang));
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
        QVERIFY2(box.button(QDialogButtonBox::Yes)->text() != yes, qPrintable(box.button(QDialogButtonBox::Yes)->text()));
        QVERIFY(tm.setLanguage(QStringLiteral("en")));
        QDialogButtonBox again(QDialogButtonBox::Yes | QDialogButtonBox::No);
        QCOMPARE(again.button(QDialogButtonBox::Yes)->text(), yes);
    }

    void regionalCodeFallsBackToTheLanguage()
    {
        TranslationsManager tm;
        QVERIFY(tm.setLanguage(QStringLiteral("ja_JP")));
        QCOMPARE(tm.language(), QStringLiteral("ja"));
        QCOMPARE(QSettings().value(QStringLiteral("game/language")).toString(), QStringLiteral("ja"));
        QCOMPARE(QDir::searchPaths(QStringLiteral("textimages")),
                 QStringList({QStringLiteral("resources:/text-images/ja"), QStringLiteral("resources:/text-images")}));
        QCOMPARE(QDir::searchPaths(QStringLiteral("localwww")),
                 QStringList({QStringLiteral("resources:/www/ja"), QStringLiteral("resources:/www")}));
    }

    void sameLanguageStillSetsTheLocale()
    {
        TranslationsManager tm;
        QVERIFY(tm.setLanguage(QStringLiteral("zh")));
        QLocale::setDefault(QLocale(QLocale::German));
        QVERIFY(tm.setLanguage(QStringLiteral("zh")));
        QCOMPARE(QLocale().language(), QLocale::Chinese);
    }

    void unknownLanguageChangesNothing()
    {
        TranslationsManager tm;
        QVERIFY(tm.setLanguage(QStringLiteral("ja")));
        QVERIFY(!tm.setLanguage(QStringLiteral("sv")));
        QCOMPARE(tm.language(), QStringLiteral("ja"));
        QCOMPARE(MahjongApplication::tr("Error"), QStringLiteral("エラー"));
        QCOMPARE(QSettings().value(QStringLiteral("game/language")).toString(), QStringLiteral("ja"));
    }

    void initialLanguageFromTheSetting()
    {
        QSettings().setValue(QStringLiteral("game/language"), QStringLiteral("zh"));
        TranslationsManager tm;
        tm.setInitialLanguage();
        QCOMPARE(tm.language(), QStringLiteral("zh"));

        QSettings().setValue(QStringLiteral("game/language"), QStringLiteral("xx"));
        TranslationsManager other;
        other.setInitialLanguage();
        QCOMPARE(other.language(), QStringLiteral("en"));
    }

    void initialLanguageFromTheInstaller()
    {
        QCOMPARE(languageOfWindowsLanguageId(QStringLiteral("1033")), QStringLiteral("en"));
        QCOMPARE(languageOfWindowsLanguageId(QStringLiteral("2057")), QStringLiteral("en"));
        QCOMPARE(languageOfWindowsLanguageId(QStringLiteral("1053")), QStringLiteral("sv"));
        QCOMPARE(languageOfWindowsLanguageId(QStringLiteral("1041")), QString());
        QCOMPARE(languageOfWindowsLanguageId(QStringLiteral("abc")), QString());

        QSettings installer(QCoreApplication::organizationName(), QStringLiteral("Installer"));
        installer.setValue(QStringLiteral("Installer Language"), QStringLiteral("1053"));
        installer.sync();
        QCOMPARE(installerLanguage(), QStringLiteral("sv"));
        TranslationsManager tm;
        tm.setInitialLanguage();
        // No Swedish file: English after the warning.
        QCOMPARE(tm.language(), QStringLiteral("en"));
    }

    void initialLanguageFromTheSystemLocale()
    {
        // No saved and no installer choice: the system locale decides.
        QCOMPARE(installerLanguage(), QString());
        TranslationsManager tm;
        tm.setInitialLanguage();
        const QString system = QLocale::system().name();
        if (system.startsWith(QLatin1String("ja")))
            QCOMPARE(tm.language(), QStringLiteral("ja"));
        else if (system.startsWith(QLatin1String("zh")))
            QCOMPARE(tm.language(), QStringLiteral("zh"));
        else
            QCOMPARE(tm.language(), QStringLiteral("en"));
    }

    void commandLineLanguage()
    {
        TranslationsManager tm;
        installTranslation(tm, QStringLiteral("zh"));
        QCOMPARE(tm.language(), QStringLiteral("zh"));
        TranslationsManager other;
        QSettings().setValue(QStringLiteral("game/language"), QStringLiteral("ja"));
        installTranslation(other, QStringLiteral("klingon"));
        QCOMPARE(other.language(), QStringLiteral("ja"));
    }

    void filesOnASearchPathComeFirst()
    {
        // A translation file in a command-line directory is listed before the compiled ones.
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral("translations:/mahjong_ja.qm"), dir.filePath(QStringLiteral("mahjong_ja.qm"))));
        QFile broken(dir.filePath(QStringLiteral("mahjong_xx.qm")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a translation");
        broken.close();
        const QStringList saved = QDir::searchPaths(QStringLiteral("translations"));
        QDir::setSearchPaths(QStringLiteral("translations"), QStringList{dir.path()} + saved);
        TranslationsManager tm;
        const auto languages = tm.availableLanguages();
        QDir::setSearchPaths(QStringLiteral("translations"), saved);
        QVERIFY(!languages.isEmpty());
        QCOMPARE(languages.first(), (QPair<QString, QString>(QStringLiteral("ja"), QStringLiteral("日本語"))));
        for (const auto& entry : languages)
            QVERIFY(entry.first != QLatin1String("xx"));
        QCOMPARE(translationFileName(dir.path(), QStringLiteral("ja")), dir.path() + QStringLiteral("/mahjong_ja.qm"));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
