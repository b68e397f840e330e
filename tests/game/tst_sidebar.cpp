// The side bar: the order of the seat panels from the reference player with
// empty seats below them, the highlight, the table and tournament lines with
// the round countdown against an injected clock, names shown as written, and
// unknown players.

#include "ConferenceArea.h"
#include "EmptySeatWidget.h"
#include "GameFixtures.h"
#include "GameModel.h"
#include "PlayerWidget.h"
#include "SideBar.h"
#include "SocialServices.h"
#include "TableInfoTexts.h"
#include "ULabel.h"
#include "Utils.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimeZone>

#include <memory>

using namespace fixtures;

namespace {
/// A chat room area that records what the side bar asks of it.
class FakeConference : public ConferenceArea
{
public:
    using ConferenceArea::ConferenceArea;
    void joinTableRoom(qint32 tableId) override { calls << QStringLiteral("join %1").arg(tableId); joined = !refusing; }
    void setOwnMember(bool seated) override { member = seated; }
    void joinTournamentRoom(int) override {}
    void leaveRoom() override { calls << QStringLiteral("leave"); joined = false; }
    void appendInfo(const QString& text) override { calls << QStringLiteral("info ") + text; }
    bool isJoined() const override { return joined; }
    void setHiddenNotifications(int mask) override { calls << QStringLiteral("hide %1").arg(mask); }
    QStringList calls;
    bool joined = false;
    bool refusing = false;
    bool member = false;
};

/// Pictures by player id, one colour per id and version.
class FakeServices : public SocialServices
{
public:
    QPixmap playerPicture(qint32 id) override
    {
        QPixmap p(8, 8);
        p.fill(QColor::fromHsv((id * 40 + version * 90) % 360, 200, 200));
        return p;
    }
    ConferenceArea* createConferenceArea(QWidget* parent, int) override
    {
        conference = new FakeConference(parent);
        return conference;
    }
    FakeConference* conference = nullptr;
    int version = 0;
};

const QDateTime roundStart(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

TournamentInfo tournament(int status, int currentRound)
{
    TournamentInfo t;
    t.tournamentId = 77;
    t.name = QStringLiteral("Spring Cup");
    t.status = status;
    t.numberOfRounds = 3;
    t.currentRound = currentRound;
    t.roundsStart = {roundStart, roundStart.addSecs(3600)};
    t.roundsLength = {1800, 1800};
    return t;
}
}

/// Counts the leave requests that reach the window.
class LeaveCounter : public QObject
{
    Q_OBJECT
public:
    int clicks = 0;
public Q_SLOTS:
    void onLeaveButtonClick() { ++clicks; }
};

class TestSideBar : public QObject
{
    Q_OBJECT

    std::unique_ptr<GameModel> model;
    std::unique_ptr<SideBar> bar;
    QDateTime now = roundStart.addSecs(600);

    void make(int ruleset = 0, int gameType = 2, int capacity = 4, qint32 reference = -1, int riichiSticks = 0,
              qint32 bet = 0)
    {
        bar.reset();
        TableInfo info = table(ruleset, gameType, capacity);
        if (bet != 0) {
            info.value.setSettlement(1);
            info.value.setBet(bet);
            info.value.setFee(1);
            info.value.setPlayers(capacity);
        }
        model = std::make_unique<GameModel>(tableId, info, ownId, QStringLiteral("me"));
        model->onGameData(5, game_protocol::server_game_state::INITIAL_STATE, {}, tableState(reference, -1, riichiSticks, 2),
                          wallState(0, {}));
        bar = std::make_unique<SideBar>(nullptr);
        bar->setClock([this] { return now; });
        bar->setModel(model.get());
    }

    QList<int> shownWinds() const
    {
        QList<int> winds;
        for (PlayerWidget* p : bar->orderedPlayers())
            winds.append(p->wind());
        return winds;
    }

    QString text(const char* name) const { return bar->findChild<QLabel*>(QLatin1String(name))->text(); }
    bool hidden(const char* name) const { return bar->findChild<QWidget*>(QLatin1String(name))->isHidden(); }

private Q_SLOTS:
    void panelsFollowTheReferencePlayer_data()
    {
        QTest::addColumn<qint32>("reference");
        QTest::addColumn<QList<int>>("winds");
        QTest::newRow("reference at west") << qint32(3) << QList<int>{2, 3, 0, 1};
        QTest::newRow("reference at south") << qint32(2) << QList<int>{1, 2, 3, 0};
        QTest::newRow("reference without a panel") << qint32(99) << QList<int>{0, 1, 2, 3};
    }
    void panelsFollowTheReferencePlayer()
    {
        QFETCH(qint32, reference);
        QFETCH(QList<int>, winds);
        make(0, 2, 4, reference);
        // Added out of wind order: ids 1..4 hold winds 0..3.
        for (int id : {3, 1, 4, 2})
            bar->setPlayer(id, QStringLiteral("p%1").arg(id), id - 1, 0, 0, false);
        QCOMPARE(shownWinds(), winds);
        QCOMPARE(bar->emptySeatCount(), 0);
    }

    void equalWindsKeepTheirOrder()
    {
        make();
        bar->setPlayer(5, QStringLiteral("first"), 1, 0, 0, false);
        bar->setPlayer(6, QStringLiteral("second"), 1, 0, 0, false);
        bar->setPlayer(7, QStringLiteral("east"), 0, 0, 0, false);
        const QList<PlayerWidget*> panels = bar->orderedPlayers();
        QCOMPARE(panels.at(1)->name(), QStringLiteral("first"));
        QCOMPARE(panels.at(2)->name(), QStringLiteral("second"));
    }

    void emptySeatsFillTheRestAtTheBottom()
    {
        make(0, 2, 4, 1);
        bar->setPlayer(1, QStringLiteral("a"), 0, 0, 0, false);
        bar->setPlayer(2, QStringLiteral("b"), 1, 0, 0, false);
        QCOMPARE(bar->emptySeatCount(), 2);
        bar->setPlayer(3, QStringLiteral("c"), 2, 0, 0, false);
        QCOMPARE(bar->emptySeatCount(), 1);
        bar->removePlayer(2);
        QCOMPARE(bar->emptySeatCount(), 2);
        auto* layout = bar->findChild<QFrame*>(QStringLiteral("playersFrame"))->layout();
        QCOMPARE(layout->count(), 4);
        QVERIFY(qobject_cast<PlayerWidget*>(layout->itemAt(1)->widget()));
        QVERIFY(qobject_cast<EmptySeatWidget*>(layout->itemAt(2)->widget()));
        QVERIFY(qobject_cast<EmptySeatWidget*>(layout->itemAt(3)->widget()));
        // A record that lists fewer seats than there are players leaves no empty panel.
        bar->setTableInfo(table(0, 2, 1));
        QCOMPARE(bar->emptySeatCount(), 0);
    }

    void highlightFollowsTheActivePlayer()
    {
        make();
        bar->setPlayer(1, QStringLiteral("a"), 0, 0, 0, false);
        bar->setPlayer(2, QStringLiteral("b"), 1, 0, 0, false);
        bar->setActivePlayer(1);
        bar->setActivePlayer(2);
        QVERIFY(!bar->playerWidget(1)->highlight());
        QVERIFY(bar->playerWidget(2)->highlight());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, bar->setActivePlayer(42));
        // An unknown player changes nothing.
        QCOMPARE(bar->activePlayer(), 2);
        QVERIFY(bar->playerWidget(2)->highlight());
        bar->removePlayer(2);
        QCOMPARE(bar->activePlayer(), -1);
        QVERIFY(!bar->playerWidget(1)->highlight());
    }

    void unknownPlayersThrowExceptForTheAvatar()
    {
        make();
        bar->setPlayerAvatar(9, QPixmap(4, 4));
        try {
            bar->setPlayerScore(9, 1);
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("no such player, pid: 9"));
        }
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, bar->removePlayer(9));
    }

    void namesShowAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("markup") << QStringLiteral("<b>bold</b>");
        QTest::newRow("placeholder") << QStringLiteral("%1 %2");
        QTest::newRow("entity") << QStringLiteral("a &amp; b");
    }
    void namesShowAsWritten()
    {
        QFETCH(QString, name);
        make();
        bar->setPlayer(1, name, 0, 0, 0, false);
        auto* nameLabel = bar->playerWidget(1)->findChild<ULabel*>(QStringLiteral("nameLabel"));
        QCOMPARE(nameLabel->fullText(), name);
        QCOMPARE(nameLabel->textFormat(), Qt::PlainText);
        QCOMPARE(QTextDocumentFragment::fromHtml(nameLabel->toolTip()).toPlainText(), name);
        TableInfo info = table(0, 2);
        info.name = name;
        bar->setTableInfo(info);
        auto* tableName = bar->findChild<ULabel*>(QStringLiteral("tableName"));
        QCOMPARE(tableName->fullText(), name);
        QCOMPARE(tableName->textFormat(), Qt::PlainText);
        QCOMPARE(QTextDocumentFragment::fromHtml(tableName->toolTip()).toPlainText(), name);
    }

    void contextMenuAsksForThePlayersMenu()
    {
        make();
        bar->setPlayer(1, QStringLiteral("ann"), 0, 0, 0, false);
        QSignalSpy spy(bar.get(), &SideBar::userMenuRequested);
        Q_EMIT bar->playerWidget(1)->customContextMenuRequested(QPoint(3, 4));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("ann"));
    }

    void tableLines_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("gameType");
        QTest::addColumn<qint64>("handId");
        QTest::addColumn<bool>("riichiShown");
        QTest::addColumn<bool>("handShown");
        QTest::addColumn<qint32>("bet"); // cents
        QTest::newRow("classic full game, no hand") << 0 << 2 << qint64(-1) << false << false << 0;
        QTest::newRow("riichi single hand, hand 0") << 2 << 0 << qint64(0) << true << true << 0;
        QTest::newRow("a stake wider than the bar") << 0 << 2 << qint64(-1) << false << false << 1999996;
    }
    void tableLines()
    {
        QFETCH(int, ruleset);
        QFETCH(int, gameType);
        QFETCH(qint64, handId);
        QFETCH(bool, riichiShown);
        QFETCH(bool, handShown);
        QFETCH(qint32, bet);
        make(ruleset, gameType, 4, -1, 3, bet);
        bar->setHandId(handId);
        QCOMPARE(text("tableName"), QStringLiteral("Bamboo Grove"));
        QCOMPARE(text("tableDescription"), tableRulesText(model->tableInfo()));
        QVERIFY(!hidden("tableCost"));
        QCOMPARE(text("tableCost").replace(QLatin1Char('\n'), QLatin1Char(' ')), tableValueText(model->tableInfo()));
        if (bet != 0) {
            // Every figure whole: each line fits the label, and the label the bar.
            bar->show();
            QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
            auto* cost = bar->findChild<QLabel*>(QStringLiteral("tableCost"));
            QVERIFY(bar->rect().contains(QRect(cost->mapTo(bar.get(), QPoint()), cost->size())));
            for (const QString& line : cost->text().split(QLatin1Char('\n')))
                QVERIFY2(cost->fontMetrics().horizontalAdvance(line) <= cost->contentsRect().width(), qPrintable(line));
            QVERIFY(cost->heightForWidth(cost->width()) <= cost->height());
        }
        QVERIFY(hidden("tableRound"));
        QVERIFY(hidden("roundLimit"));
        QCOMPARE(!hidden("riichiInfo"), riichiShown);
        QCOMPARE(!hidden("handId"), handShown);
        if (handShown)
            QCOMPARE(text("handId"), QStringLiteral("Hand Id: 0"));
        if (riichiShown) {
            QCOMPARE(text("riichiStickText"), QStringLiteral("x%1").arg(model->riichiSticks()));
            QCOMPARE(text("counterStickText"), QStringLiteral("x2"));
        }
    }

    void tournamentTableBeforeItsRecord()
    {
        make(0, 1);
        // No tournament record yet: the table's name, no invented rounds.
        bar->setTournamentInfo(TournamentInfo());
        QCOMPARE(text("tableName"), QStringLiteral("Bamboo Grove"));
        QVERIFY(hidden("tableRound"));
        QVERIFY(hidden("roundLimit"));
        // The record arrives.
        now = roundStart.addSecs(600);
        bar->setTournamentInfo(tournament(3, 0));
        QCOMPARE(text("tableName"), QStringLiteral("Spring Cup"));
        QVERIFY(!hidden("tableRound"));
        QCOMPARE(text("tableRound"), QStringLiteral("round 1 of 3"));
        QVERIFY(!hidden("roundLimit"));
    }

    void roundCountdown_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("minutesIn");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ticking");
        QTest::newRow("playing, 20 minutes left") << 3 << 0 << 10 << QStringLiteral("Round ends in %1").arg(formatDuration(1200)) << true;
        QTest::newRow("playing, round over") << 3 << 0 << 40 << QStringLiteral("Round ends in now") << true;
        QTest::newRow("paused") << 4 << 0 << 10 << QStringLiteral("No round playing") << false;
        QTest::newRow("round index -1") << 3 << -1 << 10 << QStringLiteral("No round playing") << true;
        QTest::newRow("round index past the lists") << 3 << 2 << 10 << QStringLiteral("No round playing") << true;
    }
    void roundCountdown()
    {
        QFETCH(int, status);
        QFETCH(int, round);
        QFETCH(int, minutesIn);
        QFETCH(QString, line);
        QFETCH(bool, ticking);
        make(0, 1);
        now = roundStart.addSecs(minutesIn * 60);
        bar->setTournamentInfo(tournament(status, round));
        QCOMPARE(text("tableName"), QStringLiteral("Spring Cup"));
        QCOMPARE(text("tableRound"), QStringLiteral("round %1 of 3").arg(round + 1));
        QVERIFY(hidden("tableCost"));
        QCOMPARE(text("roundLimit"), line);
        QCOMPARE(bar->roundTimer().isActive(), ticking);
        if (ticking)
            QCOMPARE(bar->roundTimer().interval(), 1000);
    }

    void resetForgetsPlayersAndKeepsPlaceholders()
    {
        make(2, 2);
        bar->setPlayer(1, QStringLiteral("a"), 0, 0, 0, false);
        bar->reset();
        QVERIFY(!bar->hasPlayer(1));
        QCOMPARE(bar->emptySeatCount(), 0);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(bar.get(), &change);
        QCOMPARE(text("tableName"), QStringLiteral("TableName"));
    }

    void chatRoomAndPicturesThroughTheSocialServices()
    {
        FakeServices services;
        model = std::make_unique<GameModel>(tableId, table(0, 2), ownId, QStringLiteral("me"));
        SideBar social(&services);
        social.setModel(model.get());
        FakeConference* room = services.conference;
        QVERIFY(room != nullptr);
        QCOMPARE(social.conference(), room);
        social.setChatActive(true);
        social.setChatActive(true); // already joined: no second join
        social.appendInfo(QStringLiteral("<b>hi</b>"));
        social.setChatActive(false);
        social.setChatActive(false);
        QCOMPARE(room->calls, (QStringList{QStringLiteral("hide 11"), QStringLiteral("join %1").arg(tableId),
                                          QStringLiteral("info <b>hi</b>"), QStringLiteral("leave")}));
        // A room that refuses is asked at every hand (the chat area bounds
        // how often it enters), with the seat its answer may depend on.
        room->calls.clear();
        room->refusing = true;
        for (int hand = 0; hand < 3; ++hand)
            social.setChatActive(true);
        social.setChatActive(false);
        QCOMPARE(room->calls, QStringList(3, QStringLiteral("join %1").arg(tableId)) << QStringLiteral("leave"));
        QCOMPARE(room->member, model->isSeated());

        QSignalSpy menu(&social, &SideBar::userMenuRequested);
        Q_EMIT room->userMenuRequested(QStringLiteral("bob"), QPoint(5, 6));
        QCOMPARE(menu.count(), 1);

        social.setPlayer(3, QStringLiteral("c"), 0, 0, 0, false);
        auto picture = [&social] {
            const QImage shown = social.playerWidget(3)->findChild<QLabel*>(QStringLiteral("avatarLabel"))->pixmap().toImage();
            return shown.pixelColor(shown.rect().center());
        };
        QCOMPARE(picture(), services.playerPicture(3).toImage().pixelColor(0, 0));
        services.version = 1;
        Q_EMIT services.playerPictureUpdate(3);
        QCOMPARE(picture(), services.playerPicture(3).toImage().pixelColor(0, 0));
        Q_EMIT services.playerPictureUpdate(99); // nobody's panel: ignored
    }

    // A window that connects again (a rebuilt table) must still send one
    // leave request per click.
    void leaveButtonReachesEachReceiverOnce()
    {
        make();
        LeaveCounter window;
        LeaveCounter other;
        bar->connectLeaveButton(&window);
        bar->connectLeaveButton(&window);
        bar->connectLeaveButton(&other);
        bar->findChild<QPushButton*>(QStringLiteral("leaveButton"))->click();
        QCOMPARE(window.clicks, 1);
        QCOMPARE(other.clicks, 1);
    }
};

QTEST_MAIN(TestSideBar)
#include "tst_sidebar.moc"
