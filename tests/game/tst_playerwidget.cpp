// The seat panel: points or wins with their English noun forms, the claim
// image in the ruleset's words, ready and claim sharing one place, and a
// claim redrawn in a new language only while it shows. Pictures are compared
// premultiplied, as a pixmap holds them: the way back to straight alpha rounds
// differently from one processor to another.

#include "ArtSearchPaths.h"
#include "PlayerWidget.h"

#include <QLabel>
#include <QTest>
#include <QTranslator>

class TestPlayerWidget : public QObject
{
    Q_OBJECT

    QTranslator english;

    static QLabel* label(PlayerWidget& w, const char* name) { return w.findChild<QLabel*>(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        ArtSearchPaths::install();
        QVERIFY(english.load(QStringLiteral(TABLE_EN_QM)));
        QCoreApplication::installTranslator(&english);
    }

    void scoreTexts_data()
    {
        QTest::addColumn<int>("gameType");
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("wins");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("noun");
        QTest::newRow("no game type yet") << -1 << 10 << 3 << QString() << QString();
        QTest::newRow("single hand, 3 wins") << 0 << 10 << 3 << QStringLiteral("3") << QStringLiteral("wins");
        QTest::newRow("single hand, 1 win") << 0 << 10 << 1 << QStringLiteral("1") << QStringLiteral("win");
        QTest::newRow("full game, points grouped") << 2 << 25000 << 1 << QLocale().toString(25000) << QStringLiteral("pts");
        QTest::newRow("tournament, 1 point") << 1 << 1 << 4 << QStringLiteral("1") << QStringLiteral("pt");
        QTest::newRow("full game, points lost") << 2 << -16 << 0 << QStringLiteral("-16") << QStringLiteral("pts");
    }
    void scoreTexts()
    {
        QFETCH(int, gameType);
        QFETCH(int, score);
        QFETCH(int, wins);
        QFETCH(QString, number);
        QFETCH(QString, noun);
        PlayerWidget panel;
        panel.setScore(score);
        panel.setWins(wins);
        panel.setGameType(gameType);
        QCOMPARE(label(panel, "scoresAndWins")->text(), number);
        QCOMPARE(label(panel, "scoresAndWinsLabel")->text(), noun);
    }

    void pictureFillsItsBoxInItsProportions()
    {
        for (const auto& [given, shown] : {std::pair(QSize(16, 16), QSize(64, 64)), {QSize(128, 64), QSize(64, 32)}}) {
            PlayerWidget panel;
            QPixmap photo(given);
            photo.fill(Qt::red);
            panel.setAvatar(photo);
            QCOMPARE(label(panel, "avatarLabel")->pixmap().size(), shown);
        }
    }

    void claimImages_data()
    {
        QTest::addColumn<int>("meld");
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("mahjongType");
        QTest::addColumn<QString>("image");
        QTest::newRow("riichi pong") << 2 << 2 << 0 << QStringLiteral("claim-pon");
        QTest::newRow("classic pong") << 2 << 0 << 0 << QStringLiteral("claim-pong");
        QTest::newRow("riichi chow") << 1 << 2 << 0 << QStringLiteral("claim-chii");
        QTest::newRow("international kong") << 8 << 1 << 0 << QStringLiteral("claim-kong");
        QTest::newRow("tsumo on a classic table") << 16 << 0 << 3 << QStringLiteral("claim-tsumo");
        QTest::newRow("ron") << 16 << 2 << 2 << QStringLiteral("claim-ron");
        QTest::newRow("plain mahjong") << 16 << 1 << 5 << QStringLiteral("claim-mahjong");
        QTest::newRow("riichi") << 128 << 2 << 0 << QStringLiteral("claim-riichi");
    }
    void claimImages()
    {
        QFETCH(int, meld);
        QFETCH(int, ruleset);
        QFETCH(int, mahjongType);
        QFETCH(QString, image);
        PlayerWidget panel;
        panel.showClaim(meld, ruleset, mahjongType);
        QLabel* claim = label(panel, "claimLabel");
        QVERIFY(!claim->isHidden());
        const QImage expected(QStringLiteral("textimages:%1.png").arg(image));
        QVERIFY(!expected.isNull());
        QCOMPARE(claim->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void unknownClaimThrows()
    {
        PlayerWidget panel;
        try {
            panel.showClaim(4, 0, 0);
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("invalid claim meld 4"));
        }
    }

    void readyAndClaimShareOnePlace()
    {
        PlayerWidget panel;
        QLabel* claim = label(panel, "claimLabel");
        panel.setReady(true);
        QVERIFY(!claim->isHidden());
        panel.showClaim(2, 0, 0);
        panel.setReady(false);
        QVERIFY(claim->isHidden());
    }

    void languageChangeRedrawsOnlyAShownClaim()
    {
        PlayerWidget shown;
        shown.showClaim(2, 2, 0);
        PlayerWidget hidden;
        hidden.showClaim(2, 2, 0);
        hidden.hideClaim();
        ArtSearchPaths::useLanguage(QStringLiteral("ja"));
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&shown, &change);
        QCoreApplication::sendEvent(&hidden, &change);
        const QImage japanese(QStringLiteral("textimages:claim-pon.png"));
        ArtSearchPaths::useLanguage(QStringLiteral("en"));
        const QImage english(QStringLiteral("textimages:claim-pon.png"));
        QVERIFY(japanese != english);
        QCOMPARE(label(shown, "claimLabel")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 japanese.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QCOMPARE(label(hidden, "claimLabel")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 english.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    // The ready mark shares the claim's place: a language change must redraw
    // the mark that shows, not an older claim.
    void languageChangeRedrawsTheReadyMark()
    {
        PlayerWidget panel;
        panel.showClaim(2, 2, 0);
        panel.setReady(false);
        panel.setReady(true);
        ArtSearchPaths::useLanguage(QStringLiteral("ja"));
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&panel, &change);
        const QImage ready(QStringLiteral("textimages:ready.png"));
        ArtSearchPaths::useLanguage(QStringLiteral("en"));
        QVERIFY(!ready.isNull());
        QCOMPARE(label(panel, "claimLabel")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 ready.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
};

QTEST_MAIN(TestPlayerWidget)
#include "tst_playerwidget.moc"
