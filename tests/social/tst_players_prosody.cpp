// The player directory and the table presence against a real Prosody with
// three accounts: pictures fetched once, a new picture seen by a friend,
// the rest of a card kept by a picture upload,
// the search of an address by name, the tables a friend sits at, and
// hostile photos of another account costing bounded memory.
#include "GameModel.h"
#include "HostilePictures.h"
#include "ProcessMemory.h"
#include "ProsodyAccounts.h"
#include "RawXmppClient.h"
#include "SocialTestAccount.h"
#include "TablePresenceManager.h"
#include "XMPPConference.h"

#include <QLoggingCategory>
#include <QPainter>

namespace {

QImage twoColourImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h, Qt::blue);
    return image;
}

TableInfo table(qint32 id, const QString& lobbyPath)
{
    TableInfo info;
    info.tableId = id;
    info.lobbyPath = lobbyPath;
    info.name = QStringLiteral("Table %1").arg(id);
    return info;
}

/// The table paths of the last presence of `from` that `spy` saw.
QSet<QString> lastTables(const QSignalSpy& spy, const XMPPJid& from)
{
    for (auto it = spy.crbegin(); it != spy.crend(); ++it) {
        const XMPPPresence p = it->first().value<XMPPPresence>();
        if (p.from().bare() == from)
            return p.tables();
    }
    return {QStringLiteral("<none>")};
}

}

class TestPlayersProsody : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;

    /// Stores Carol's (1003) card with a client of her own, as another
    /// program of hers would.
    bool storeCarolsCard(const QByteArray& card)
    {
        RawXmppClient other;
        QString error;
        if (!other.login(m_server->host(), m_server->port(), m_server->domain(), QStringLiteral("1003"),
                         SocialTestAccount::password(1003), &error)) {
            qWarning().noquote() << error;
            return false;
        }
        other.send("<iq type='set' id='c1'>" + card + "</iq>");
        return other.waitFor(QStringLiteral("id=['\"]c1['\"][^>]*type=['\"]result|type=['\"]result['\"][^>]*id=['\"]c1"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        ProsodyFixture::Options options;
        options.searchUsers = {{QStringLiteral("1001"), QStringLiteral("Alice")},
                               {QStringLiteral("1002"), QStringLiteral("Bob Smith")},
                               {QStringLiteral("1003"), QStringLiteral("Carol")}};
        m_server = std::make_unique<ProsodyFixture>(options);
        QVERIFY(clienttest::startWithAccounts(*m_server, {"1001", "1002", "1003"}));
    }

    void cleanupTestCase() { m_server.reset(); }

    void pictureFetchedOnceAndNewPictureSeenByFriend()
    {
        SocialTestAccount alice(1001, QStringLiteral("Alice"));
        SocialTestAccount bob(1002, QStringLiteral("Bob Smith"));
        QVERIFY(alice.login(*m_server));
        QVERIFY(bob.login(*m_server));

        // Alice has no vCard yet: one request however often Bob asks, then
        // "no picture" is remembered and asks nothing more.
        QSignalSpy bobUpdates(&bob.playerDb, &PlayerDb::playerPictureUpdate);
        const QPixmap first = bob.playerDb.playerPicture(1001);
        QVERIFY(bob.playerDb.isPictureRequested(1001));
        bob.playerDb.playerPicture(1001);
        bob.playerDb.playerPicture(1001);
        QTRY_COMPARE_WITH_TIMEOUT(bobUpdates.count(QVariantList{1001}), 1, 5000);
        QVERIFY(!bob.playerDb.isPictureRequested(1001));
        const QPixmap cachedMiss = bob.playerDb.playerPicture(1001);
        QVERIFY(!bob.playerDb.isPictureRequested(1001));
        QCOMPARE(cachedMiss.toImage(), PlayerDb::defaultAvatar(1001).toImage());
        QCOMPARE(first.toImage(), cachedMiss.toImage());

        // Bob follows Alice; her new picture reaches him through her presence.
        QVERIFY(subscribe(bob, alice));
        bobUpdates.clear();
        // Both sit in a room, which hears of the new picture too.
        const XMPPJid room(QStringLiteral("conference.localhost"), QStringLiteral("pictures"));
        XMPPConference aliceRoom;
        XMPPConference bobRoom;
        for (auto [conference, user] : {std::pair{&aliceRoom, &alice}, std::pair{&bobRoom, &bob}}) {
            conference->setClient(&user->client);
            conference->setRoomJid(room);
            QSignalSpy joined(conference, &XMPPConference::userJoined);
            conference->join(user->name);
            QVERIFY(joined.wait(5000));
        }
        QSignalSpy bobPresences(&bob.client, &XMPPClient::presence);
        QSignalSpy ok(&alice.playerDb, &PlayerDb::changePictureOk);
        QSignalSpy aliceUpdates(&alice.playerDb, &PlayerDb::playerPictureUpdate);
        alice.playerDb.uploadPicture(twoColourImage(128, 64));
        QVERIFY(ok.wait(5000));
        // Her own directory fetches the stored card again.
        QTRY_VERIFY_WITH_TIMEOUT(aliceUpdates.contains(QVariantList{1001}), 5000);
        QCOMPARE(alice.playerDb.playerPicture(1001).size(), QSize(64, 32));

        QTRY_VERIFY_WITH_TIMEOUT(bobUpdates.contains(QVariantList{1001}), 5000);
        const QImage seen = bob.playerDb.playerPicture(1001).toImage();
        QCOMPARE(seen.size(), QSize(64, 32));
        QCOMPARE(QColor(seen.pixel(5, 16)), QColor(Qt::blue));
        QCOMPARE(QColor(seen.pixel(58, 16)), QColor(Qt::red));
        QVERIFY(!bob.playerDb.isPictureRequested(1001));

        // The room announces the hash of the picture as stored.
        QSignalSpy cards(&bob.client, &XMPPClient::vCardReceived);
        bob.client.requestVCard(alice.jid());
        QVERIFY(cards.wait(5000));
        const XMPPJid occupant(room.domain(), room.node(), alice.name);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(bobPresences.cbegin(), bobPresences.cend(), [&](const QList<QVariant>& args) {
            const XMPPPresence p = args.first().value<XMPPPresence>();
            return p.from() == occupant && p.photoHash() == cards.first().at(1).value<XMPPVCard>().photoHash;
        }), 5000);
    }

    void pictureUploadKeepsTheRestOfTheCard()
    {
        // Carol's card, stored by another program of hers, holds more than a picture.
        QVERIFY(storeCarolsCard("<vCard xmlns='vcard-temp'><FN>Carol Old</FN><N><GIVEN>Carol</GIVEN></N>"
                                "<NICKNAME>cc</NICKNAME><DESC>likes &lt;tiles&gt; &amp; tea</DESC>"
                                "<X-EXT xmlns='urn:example:ext' level='3'>kept</X-EXT></vCard>"));

        SocialTestAccount carol(1003, QStringLiteral("Carol"));
        QVERIFY(carol.login(*m_server));
        QSignalSpy ok(&carol.playerDb, &PlayerDb::changePictureOk);
        carol.playerDb.uploadPicture(twoColourImage(16, 16));
        QVERIFY(ok.wait(5000));

        // Bob reads the stored card with a client of his own.
        RawXmppClient bob;
        QString error;
        QVERIFY2(bob.login(m_server->host(), m_server->port(), m_server->domain(), QStringLiteral("1002"),
                           SocialTestAccount::password(1002), &error),
                 qPrintable(error));
        bob.send("<iq type='get' id='g1' to='1003@localhost'><vCard xmlns='vcard-temp'/></iq>");
        QRegularExpressionMatch match;
        QVERIFY(bob.waitFor(QStringLiteral("(?s)<iq[^>]*id=['\"]g1['\"].*</iq>"), 5000, &match));
        const QString card = match.captured();
        // Her own name stays: the player's name goes only into a card without one.
        for (const char* part : {"<FN>Carol Old</FN>", "<N><GIVEN>Carol</GIVEN></N>", "<NICKNAME>cc</NICKNAME>",
                                 "<DESC>likes &lt;tiles&gt; &amp; tea</DESC>", ">kept</X-EXT>", "urn:example:ext",
                                 "<TYPE>image/png</TYPE>"})
            QVERIFY2(card.contains(QLatin1String(part)), qPrintable(QLatin1String(part) + QLatin1Char('\n') + card));
        QCOMPARE(card.count(QStringLiteral("<FN>")), 1);
        QCOMPARE(card.count(QStringLiteral("<PHOTO>")), 1);
    }

    void uploadWithoutSessionFails()
    {
        SocialTestAccount carol(1003, QStringLiteral("Carol"));
        QSignalSpy failed(&carol.playerDb, &PlayerDb::changePictureFailed);
        carol.playerDb.uploadPicture(twoColourImage(10, 10));
        QCOMPARE(failed.size(), 1);
    }

    void searchByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("jid");
        QTest::newRow("exact") << "Carol" << "1003@localhost";
        QTest::newRow("other letter case, with a space") << "bob smith" << "1002@localhost";
        QTest::newRow("part of a name only") << "Bob" << "";
        QTest::newRow("nobody") << "Zed" << "";
    }

    void searchByName()
    {
        QFETCH(QString, name);
        QFETCH(QString, jid);
        SocialTestAccount alice(1001, QStringLiteral("Alice"));
        QSignalSpy result(&alice.playerDb, &PlayerDb::searchJidResult);
        QSignalSpy error(&alice.playerDb, &PlayerDb::searchJidError);
        // Before the form arrived: an error at once.
        alice.playerDb.searchJid(name);
        QCOMPARE(error.size(), 1);
        error.clear();

        QSignalSpy form(&alice.client, &XMPPClient::requestSearchFormResult);
        QVERIFY(alice.login(*m_server));
        QVERIFY(form.wait(5000));
        alice.playerDb.searchJid(name);
        QTRY_COMPARE_WITH_TIMEOUT(result.size() + error.size(), 1, 5000);
        if (jid.isEmpty()) {
            QCOMPARE(error.size(), 1);
        } else {
            QCOMPARE(result.size(), 1);
            QCOMPARE(result.first().first().value<XMPPJid>().toString(), jid);
        }
    }

    void hostilePhotoOfAnotherAccount_data()
    {
        QTest::addColumn<QByteArrayList>("photos");
        QTest::addColumn<bool>("shown");
        using namespace hostilepictures;
        const QByteArray svg("<svg xmlns='http://www.w3.org/2000/svg'/>");
        // 60 text chunks of nearly 8 MB each once inflated, within the
        // server's stanza limit: the photo is shown without its text.
        QTest::newRow("text chunk bomb") << QByteArrayList{pngWithChunks(plainPicture(QSize(64, 64), Qt::blue), 60)} << true;
        QTest::newRow("not a picture") << QByteArrayList{svg} << false;
        QTest::newRow("not a picture, then one") << QByteArrayList{svg, plainPicture(QSize(64, 64), Qt::blue)} << true;
    }

    void hostilePhotoOfAnotherAccount()
    {
        QFETCH(QByteArrayList, photos);
        QFETCH(bool, shown);
        QByteArray card = "<vCard xmlns='vcard-temp'>";
        for (const QByteArray& photo : photos)
            card += "<PHOTO><TYPE>image/png</TYPE><BINVAL>" + photo.toBase64() + "</BINVAL></PHOTO>";
        QVERIFY(storeCarolsCard(card + "</vCard>"));
        const QByteArray photo = photos.first();

        SocialTestAccount bob(1002, QStringLiteral("Bob Smith"));
        QVERIFY(bob.login(*m_server));
        QSignalSpy updates(&bob.playerDb, &PlayerDb::playerPictureUpdate);
        const processmemory::PeakGrowth peak;
        bob.playerDb.playerPicture(1003);
        QTRY_VERIFY_WITH_TIMEOUT(updates.contains(QVariantList{1003}), 10000);
        const qint64 peakGrowth = peak.kb();
        qInfo("%s: %lld bytes of photo, peak memory grew by %lld kB", QTest::currentDataTag(), qint64(photo.size()),
              peakGrowth);
        QVERIFY2(peakGrowth < 100 * 1024, qPrintable(QString::number(peakGrowth)));
        const QImage seen = bob.playerDb.playerPicture(1003).toImage();
        if (shown) {
            QCOMPARE(seen.size(), QSize(64, 64));
            QCOMPARE(QColor(seen.pixel(10, 10)), QColor(Qt::blue));
        } else {
            QCOMPARE(seen, PlayerDb::defaultAvatar(1003).toImage());
        }
        // Decoded once: asking again fetches nothing.
        QVERIFY(!bob.playerDb.isPictureRequested(1003));
    }

    void tablePresenceSeenByFriend()
    {
        SocialTestAccount alice(1001, QStringLiteral("Alice"));
        SocialTestAccount carol(1003, QStringLiteral("Carol"));
        QVERIFY(alice.login(*m_server));
        QVERIFY(carol.login(*m_server));
        QVERIFY(subscribe(carol, alice));
        QSignalSpy seen(&carol.client, &XMPPClient::presence);

        TablePresenceManager presence(&alice.client);
        auto* watched = new GameModel(57, table(57, QStringLiteral("101/Regular")), 1001, QStringLiteral("Alice"));
        auto* second = new GameModel(58, table(58, QStringLiteral("102/Riichi")), 1001, QStringLiteral("Alice"));
        presence.onGameModelCreated(watched);
        presence.onGameModelCreated(second);

        // Others sitting down, or watching, publish nothing.
        Q_EMIT watched->playerSeated(2002, 57, false);
        QTest::qWait(300);
        QVERIFY(presence.publishedPath(watched).isEmpty());

        Q_EMIT watched->playerSeated(1001, 57, true);
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()), QSet<QString>{QStringLiteral("101/Regular/57")}, 5000);
        Q_EMIT second->playerSeated(1001, 58, false);
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()),
                                  (QSet<QString>{QStringLiteral("101/Regular/57"), QStringLiteral("102/Riichi/58")}),
                                  5000);

        // Another player's leave changes nothing; the own leave withdraws the path.
        const qsizetype before = seen.size();
        Q_EMIT watched->playerUnseated(2002, 57);
        QTest::qWait(300);
        QCOMPARE(seen.size(), before);
        Q_EMIT watched->playerUnseated(1001, 57);
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()), QSet<QString>{QStringLiteral("102/Riichi/58")}, 5000);

        // Seated again, then the table closes: the path goes with it.
        Q_EMIT watched->playerSeated(1001, 57, false);
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()).size(), 2, 5000);
        presence.onGameModelAboutToBeDestroyed(watched);
        delete watched;
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()), QSet<QString>{QStringLiteral("102/Riichi/58")}, 5000);

        // A table whose lobby path changed while seated still withdraws what was published.
        TableInfo moved = table(58, QStringLiteral("103/Moved"));
        second->onTableInfo(moved);
        QCOMPARE(presence.publishedPath(second), QStringLiteral("102/Riichi/58"));
        delete second; // gone without the controller's notice
        QTRY_COMPARE_WITH_TIMEOUT(lastTables(seen, alice.jid()), QSet<QString>(), 5000);
    }
};

QTEST_MAIN(TestPlayersProsody)
#include "tst_players_prosody.moc"
