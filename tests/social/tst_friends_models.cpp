// The roster model and the friends list over it, fed by a scripted XMPP
// server: rows follow roster answers and pushes row by row, presences per
// resource, requests are accepted on the wire, and the list shows names,
// icons and escaped tool tips of exactly the right contacts.
#include "FriendsFilter.h"
#include "FriendsRosterModel.h"
#include "FriendsTestSession.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

using namespace friendstest;

namespace {

const QString A = QStringLiteral("1002@localhost");
const QString B = QStringLiteral("1003@localhost");

QImage iconImage(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    if (image.isNull())
        qFatal("icon without picture");
    return image;
}

QImage iconImage(const char* file)
{
    return iconImage(QIcon(QStringLiteral("resources:") + QLatin1String(file)));
}

}

class FriendsModelsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Session> s;
    std::unique_ptr<FriendsRosterModel> model;
    std::unique_ptr<FriendsFilter> filter;
    std::unique_ptr<QAbstractItemModelTester> testers[2];

    /// The model, built after login (so it asks at once), holding the roster
    /// A "both", B "to".
    bool start()
    {
        s = std::make_unique<Session>();
        if (!s->login())
            return false;
        s->connection.setPlayerName(1002, QStringLiteral("Kenji"));
        s->connection.setPlayerName(1003, QStringLiteral("<b>Mei</b>"));
        model = std::make_unique<FriendsRosterModel>(&s->client, &s->playerDb);
        filter = std::make_unique<FriendsFilter>();
        filter->setSourceModel(model.get());
        testers[0] = std::make_unique<QAbstractItemModelTester>(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        testers[1] = std::make_unique<QAbstractItemModelTester>(filter.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted); // the answer's rows come as one block
        return answerRoster("<item jid='" + A.toUtf8() + "' subscription='both'/><item jid='" + B.toUtf8() + "' subscription='to'/>")
            && model->rowCount() == 2 && inserted.size() == 1;
    }

    /// Answers the roster request `number` with these items, and what follows them.
    bool answerRoster(const QByteArray& items, int number = 1, const QByteArray& after = {})
    {
        const QRegularExpression asked(QStringLiteral("<iq id=\"(\\d+)\" type=\"get\"><query xmlns=\"jabber:iq:roster\"/>"));
        if (!QTest::qWaitFor([&] { return s->wrote().count(asked) == number; }))
            return false;
        const QByteArray id = asked.match(s->wrote(), s->wrote().lastIndexOf(asked)).captured(1).toUtf8();
        return s->deliver("<iq type='result' id='" + id + "'><query xmlns='jabber:iq:roster'>" + items + "</query></iq>" + after);
    }

private Q_SLOTS:
    void initTestCase() { setUpEnvironment(); }

    void cleanup()
    {
        testers[0].reset();
        testers[1].reset();
        filter.reset();
        model.reset();
        s.reset();
    }

    void presencesPerResource_data()
    {
        QTest::addColumn<QList<QByteArray>>("presences");
        QTest::addColumn<int>("availability");
        QTest::addColumn<QString>("bestResource");
        QTest::addColumn<int>("dataChanges");
        const QString a = A + QLatin1Char('/');
        QTest::newRow("away and online: online wins")
            << QList<QByteArray>{presence(a + "r1", "away"), presence(a + "r2")} << 2 << "r2" << 2;
        QTest::newRow("online one goes: away is left")
            << QList<QByteArray>{presence(a + "r1", "away"), presence(a + "r2"),
                                 presence(a + "r2", {}, {}, {}, "unavailable")} << 3 << "r1" << 3;
        QTest::newRow("two online: first resource in order")
            << QList<QByteArray>{presence(a + "zz"), presence(a + "aa")} << 2 << "aa" << 2;
        QTest::newRow("away and chat: chat wins")
            << QList<QByteArray>{presence(a + "r1", "away"), presence(a + "r2", "chat")} << 4 << "r2" << 2;
        QTest::newRow("unavailable never seen: ignored")
            << QList<QByteArray>{presence(a + "r1", {}, {}, {}, "unavailable")} << 1 << "" << 0;
        QTest::newRow("error presence: taken as unavailable")
            << QList<QByteArray>{presence(a + "r1", "dnd"),
                                 "<presence from='" + (a + "r1").toUtf8() + "' type='error'><error type='cancel'>"
                                 "<remote-server-not-found xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error>"
                                 "</presence>"} << 1 << "" << 2;
        QTest::newRow("room occupant and stranger: ignored")
            << QList<QByteArray>{presence("room@conference.localhost/Kenji"), presence("9@localhost/x")} << 1 << ""
            << 0;
    }

    void presencesPerResource()
    {
        QFETCH(QList<QByteArray>, presences);
        QFETCH(int, availability);
        QFETCH(QString, bestResource);
        QFETCH(int, dataChanges);
        QVERIFY(start());
        QSignalSpy changes(model.get(), &QAbstractItemModel::dataChanged);
        for (const QByteArray& p : presences)
            QVERIFY(s->deliver(p));
        const XMPPRosterItem* item = model->itemForJid(XMPPJid::fromText(A + QStringLiteral("/any")));
        QVERIFY(item);
        QCOMPARE(item->availability(), availability);
        QCOMPARE(item->bestPresence() ? item->bestPresence()->from().resource() : QString(), bestResource);
        QCOMPARE(changes.size(), dataChanges);
        for (const auto& change : changes)
            QCOMPARE(change.at(0).toModelIndex().row(), 0);
    }

    void pushesChangeOneRow()
    {
        QVERIFY(start());
        QVERIFY(s->deliver(presence(B + QStringLiteral("/r"), "away", "lunch")));
        QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
        QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
        // A full JID names the bare item; a removal of a stranger is nothing.
        QVERIFY(s->deliver(rosterPush(B + QStringLiteral("/res"), "both")));
        QVERIFY(s->deliver(rosterPush(QStringLiteral("nobody@localhost"), "remove")));
        QCOMPARE(model->rowCount(), 2);
        const XMPPRosterItem* b = model->itemForJid(XMPPJid::fromText(B));
        QCOMPARE(b->subscriptionFlags, 3);
        QCOMPARE(b->availability(), 3); // the presence stayed
        QVERIFY(s->deliver(rosterPush(QStringLiteral("1001@localhost/x"), "none", true)));
        QCOMPARE(model->XMPPRosterModel::data(model->index(2, 0)).toString(), QStringLiteral("1001@localhost"));
        QVERIFY(s->deliver(rosterPush(A, "remove")));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().at(1).toInt(), 0);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(model->XMPPRosterModel::data(model->index(0, 0)).toString(), B);
        QVERIFY(!model->index(0, 1).isValid());
        QVERIFY(!model->index(0, 0, model->index(0, 0)).isValid());
        QCOMPARE(model->rowCount(model->index(0, 0)), 0);
        QVERIFY(!model->itemAt(filter->index(0, 0)));
        // Look-ups follow the rows that moved up; a contact added again comes last.
        QCOMPARE(model->indexForJid(XMPPJid::fromText(QStringLiteral("1001@localhost"))).row(), 1);
        QVERIFY(!model->itemForJid(XMPPJid::fromText(A)));
        QVERIFY(s->deliver(rosterPush(A, "both") + presence(A + QStringLiteral("/r"), "away")));
        QCOMPARE(model->indexForJid(XMPPJid::fromText(A)).row(), 2);
        QCOMPARE(model->itemAt(model->index(2, 0))->availability(), 3);
        // One push removing two neighbours: one removal of both, the rows after them renumbered.
        removed.clear();
        QVERIFY(s->deliver("<iq type='set' id='two'><query xmlns='jabber:iq:roster'><item jid='" + B.toUtf8()
                           + "' subscription='remove'/><item jid='1001@localhost' subscription='remove'/></query></iq>"));
        QTRY_COMPARE(model->rowCount(), 1);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().mid(1), (QVariantList{0, 1}));
        QCOMPARE(model->indexForJid(XMPPJid::fromText(A)).row(), 0);
        // A long answer comes in blocks, one a turn; the presence after it finds its row.
        QByteArray items;
        for (int i = 10000; i < 15000; ++i)
            items += "<item jid='" + QByteArray::number(i) + "@localhost' subscription='both'/>";
        s->client.requestRoster();
        inserted.clear();
        QVERIFY(answerRoster(items, 2, presence(QStringLiteral("14999@localhost/r"), "away")));
        QCOMPARE(model->rowCount(), 5000);
        QVERIFY(inserted.size() > 1);
        QCOMPARE(model->itemForJid(XMPPJid::fromText(QStringLiteral("14999@localhost")))->availability(), 3);
    }

    void requestIsAcceptedAndRowsSurviveDisconnection()
    {
        QVERIFY(start());
        QVERIFY(s->deliver(presence(A + QStringLiteral("/r"), "xa")));
        QVERIFY(s->deliver("<presence from='1009@localhost' type='subscribe'/>"));
        QCOMPARE(s->wrote().count(QStringLiteral("<presence to=\"1009@localhost\" type=\"subscribed\">")), 1);
        QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
        s->client.disconnectFromHost();
        QVERIFY(clienttest::waitUnconnected(s->client));
        QCOMPARE(resets.size(), 0);
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->itemForJid(XMPPJid::fromText(A))->availability(), 6);
    }

    void friendsListShowsNamesIconsAndTips_data()
    {
        QTest::addColumn<QString>("subscription");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QByteArray>("presenceXml");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("tip");
        const QString r = A + QStringLiteral("/r");
        QTest::newRow("both, offline") << "both" << false << QByteArray() << true << "xmpp_not_available.png"
                                       << "Kenji is not available";
        QTest::newRow("pending own request") << "none" << true << QByteArray() << true << "xmpp_not_available.png"
                                             << "Kenji is not available";
        QTest::newRow("from only: hidden") << "from" << false << QByteArray() << false << "xmpp_unknown.png"
                                           << "Kenji is not available";
        QTest::newRow("none: hidden") << "none" << false << QByteArray() << false << "xmpp_unknown.png"
                                      << "Kenji is not available";
        QTest::newRow("online with status") << "to" << false << presence(r, {}, "at the <b>table</b>") << true
                                            << "xmpp_available.png" << "Kenji is online with status \"at the <b>table</b>\"";
        QTest::newRow("away") << "both" << false << presence(r, "away") << true << "xmpp_away.png" << "Kenji is away";
        QTest::newRow("extended away") << "both" << false << presence(r, "xa") << true << "xmpp_extended_away.png"
                                       << "Kenji is away";
        QTest::newRow("busy") << "both" << false << presence(r, "dnd") << true << "xmpp_not_available.png"
                              << "Kenji is busy";
        QTest::newRow("talkative") << "both" << false << presence(r, "chat") << true << "xmpp_available.png"
                                   << "Kenji is talkative";
    }

    void friendsListShowsNamesIconsAndTips()
    {
        QFETCH(QString, subscription);
        QFETCH(bool, ask);
        QFETCH(QByteArray, presenceXml);
        QFETCH(bool, listed);
        QFETCH(QString, icon);
        QFETCH(QString, tip);
        QVERIFY(start());
        QVERIFY(s->deliver(rosterPush(A, subscription, ask)));
        if (!presenceXml.isEmpty())
            QVERIFY(s->deliver(presenceXml));
        const QModelIndex index = model->indexForJid(XMPPJid::fromText(A));
        QCOMPARE(index.data(Qt::DisplayRole).toString(), QStringLiteral("Kenji"));
        QCOMPARE(iconImage(index.data(Qt::DecorationRole).value<QIcon>()), iconImage(qPrintable(icon)));
        QCOMPARE(model->toolTipText(*model->itemAt(index)), tip);
        // The tool tip is rich text: the friend's markup must arrive escaped.
        QTextDocument shown;
        shown.setHtml(index.data(Qt::ToolTipRole).toString());
        QCOMPARE(shown.toPlainText(), tip);
        QCOMPARE(filter->rowCount(), listed ? 2 : 1);
        QCOMPARE(filter->index(0, 0).data().toString(), listed ? QStringLiteral("Kenji") : QStringLiteral("<b>Mei</b>"));
    }

    void namesFollowTheGameServer()
    {
        QVERIFY(start());
        QSignalSpy changes(model.get(), &QAbstractItemModel::dataChanged);
        s->connection.setPlayerName(4711, QStringLiteral("Stranger"));
        QCOMPARE(changes.size(), 0);
        s->connection.setPlayerName(1003, QStringLiteral("Meiko"));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(filter->index(1, 0).data().toString(), QStringLiteral("Meiko"));
    }
};

QTEST_MAIN(FriendsModelsTest)
#include "tst_friends_models.moc"
