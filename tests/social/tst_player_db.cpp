// The player directory without a chat server: addresses to player ids,
// names in any letter case, default avatars, nothing asked while offline.
#include "ArtSearchPaths.h"
#include "ConnectionManager.h"
#include "PlayerDb.h"
#include "XMPPClient.h"

#include <QSignalSpy>
#include <QTest>

class TestPlayerDb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ArtSearchPaths::install(); }

    void pidForJid_data()
    {
        QTest::addColumn<QString>("jid");
        QTest::addColumn<int>("pid");
        QTest::newRow("player") << "1001@localhost" << 1001;
        QTest::newRow("player with resource") << "1001@localhost/desk" << 1001;
        QTest::newRow("player zero") << "0@localhost" << 0;
        QTest::newRow("name, not a number") << "alice@localhost" << -1;
        QTest::newRow("number and letters") << "12ab@localhost" << -1;
        QTest::newRow("negative") << "-5@localhost" << -1;
        QTest::newRow("too large") << "99999999999@localhost" << -1;
        QTest::newRow("room occupant") << "table-5@conference.localhost/17" << -1;
        QTest::newRow("server only") << "localhost" << -1;
        QTest::newRow("empty node") << "@localhost" << -1;
    }

    void pidForJid()
    {
        QFETCH(QString, jid);
        QFETCH(int, pid);
        XMPPClient client;
        PlayerDb db(nullptr, &client);
        QCOMPARE(db.pidForJid(XMPPJid::fromText(jid)), pid);
    }

    void namesIgnoreLetterCase()
    {
        ConnectionManager connection(false);
        PlayerDb db(&connection, nullptr);
        QSignalSpy updates(&db, &PlayerDb::playerNameUpdate);
        connection.setPlayerName(7, QStringLiteral("dragon lady"));
        QCOMPARE(updates.size(), 1);
        QVERIFY(db.hasPlayerName(QStringLiteral("Dragon Lady")));
        QCOMPARE(db.pidForName(QStringLiteral("DRAGON LADY")), 7);
        QCOMPARE(db.pidForName(QStringLiteral("dragon")), -1);
        QVERIFY(!db.hasPlayerName(QStringLiteral("nobody")));
        // The same name in other letters is the same key, with the newer id.
        connection.setPlayerName(8, QStringLiteral("Dragon Lady"));
        QCOMPARE(db.pidForName(QStringLiteral("dragon lady")), 8);
        QCOMPARE(db.playerName(8), QStringLiteral("Dragon Lady"));

        db.setOwnPlayer(42, QStringLiteral("Me"));
        QCOMPARE(db.ownPidString(), QStringLiteral("42"));
        QCOMPARE(db.pidForName(QStringLiteral("me")), 42);
    }

    void defaultAvatars_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("file");
        QTest::newRow("pid 9") << 9 << "resources:/avatar-default-1.png";
        QTest::newRow("pid 12") << 12 << "resources:/avatar-default-brown.png";
        QTest::newRow("pid -1 as unsigned") << -1 << "resources:/avatar-default-brown.png";
        QTest::newRow("pid 1004") << 1004 << "resources:/avatar-default-green.png";
    }

    void defaultAvatars()
    {
        QFETCH(int, pid);
        QFETCH(QString, file);
        XMPPClient offline;
        PlayerDb db(nullptr, &offline);
        const QImage expected(file);
        QVERIFY(!expected.isNull());
        // Offline: the default avatar, and nothing asked for.
        QCOMPARE(db.playerPicture(pid).toImage(), expected.convertToFormat(db.playerPicture(pid).toImage().format()));
        QVERIFY(!db.isPictureRequested(pid));
    }

    void offlineRequestsFailAtOnce()
    {
        XMPPClient offline;
        PlayerDb db(nullptr, &offline);
        QSignalSpy searchError(&db, &PlayerDb::searchJidError);
        QSignalSpy pictureFailed(&db, &PlayerDb::changePictureFailed);
        db.searchJid(QStringLiteral("anyone"));
        db.uploadPicture(QImage(8, 8, QImage::Format_ARGB32));
        QCOMPARE(searchError.size(), 1);
        QCOMPARE(pictureFailed.size(), 1);
    }
};

QTEST_MAIN(TestPlayerDb)
#include "tst_player_db.moc"
