#pragma once

// A table played at random, seeded and replayable: the test game server deals
// to three bots and the user and keeps its own record of the one question it
// has open for the user (the turn, a claim, Ready). A real connection,
// controller, model and window answer; the test presses keys, clicks tiles and
// buttons, closes and opens the page again, hides it and switches the
// language. Oracle: every frame the client sends answers a question the server
// had open when it was made (a chosen answer at an input, an automatic one
// after the server's events), an empty offer still open has been passed, and
// the table shows the seats and tile counts the server holds.

#include "Connection.h"
#include "ConnectionManager.h"
#include "GameController.h"
#include "GameFixtures.h"
#include "GameWindow.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "ModelessMsgBox.h"
#include "ProtocolValues.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "TableModel.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"
#include "TournamentsController.h"
#include "TournamentsLobbyWindow.h"
#include "WashoutWindow.h"
#include "../protocol/game_test_frames.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QGraphicsView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <random>

class RandomTable
{
public:
    QStringList faults;
    int steps = 0;

    explicit RandomTable(quint32 seed, bool evening = false) : seed(seed), rng(seed), evening(evening)
    {
        MahjongDialog::setGuardMs(40); // the guard still met by every Leave, without 0.75 s of waiting each
        server.listen();
        server.onRequest(30, [this](const ReceivedFrame&) { // joined: seated, asked to play
            server.send(TestFrame(31).u32(table).u8(1).u8(0).u32(0));
            if (this->evening) // the seat notice, as after every join, with the table's record
                server.send(TestFrame(62).u32(table).u8(1).u32(tid).raw(TournamentFrames::tournamentTable(tid, table, "T", 4).body().mid(5)));
            QList<gtf::PlayerRecord> bots;
            for (int wind : {0, 2, 3})
                bots.append(seatRecord(seats[wind], 0, quint8(wind)));
            game(gtf::gameData(0, bots, 0, {}));
            askReady();
        });
        QObject::connect(cm.connection(), &QIODevice::bytesWritten, [this](qint64 n) { written += n; });
        gc.setPlayerId(qint32(own));
        gc.setTableModel(&tables);
        parent.resize(1024, 768);
        parent.show();
        parent.activateWindow();
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        if (!QTest::qWaitForWindowActive(&parent) || !(ready.count() == 1 || ready.wait(5000)))
            fault(QStringLiteral("no table to play"));
        TableInfo info = fixtures::table(1, evening ? 1 : 2);
        info.tableId = qint32(table);
        if (evening) // an evening of a tournament's rounds here; the notice wired as the main window does
            QObject::connect(&cm, &ConnectionManager::notifySeated, &gc, [this](qint32 t, qint32, qint32 m) { gc.onTournamentSeated(m, t, 1); });
        server.send(TournamentFrames::snapshot(TournamentFrames::tournament(tid, "Evening", 0, 3, 64, 1, 2e9, 60)));
        info.lobbyPath = evening ? GameController::mttLobbyPath(info.mttId = qint32(tid)) : info.lobbyPath;
        tables.subscribe(info.lobbyPath);
        tables.addOrUpdateTable(info);
    }

    /// Plays the words of the script, then `count` random ones: each a server event or an input.
    void run(const QStringList& script, int count)
    {
        for (const QString& word : script)
            step(word);
        for (int i = 0; i < count && faults.size() < 5; ++i) {
            const QString word = pick(false);
            step(word);
            // A stop: the server's events pile up unread, then come in one go.
            for (int k = 0; word == "{" && k < 4; ++k)
                step(k < 3 ? pick(true) : QStringLiteral("}"));
        }
        step(QStringLiteral("}"));
        settle();
    }

private:
    enum Kind { None, Turn, Claim, Ready };
    static constexpr quint32 table = 511, own = 1001;
    static gtf::PlayerRecord seatRecord(quint32 pid, quint8 tileCount, quint8 wind)
    {
        gtf::PlayerRecord record;
        record.pid = pid;
        record.tileCount = tileCount;
        record.wind = wind;
        return record;
    }

    void fault(const QString& what)
    {
        faults << QStringLiteral("seed %1 step %2: %3 (after %4)").arg(seed).arg(steps).arg(what, trail.join(' '));
    }
    int random(int n) { return int(rng() % quint32(n)); }
    /// Runs the event loop until `done` (false after 5 s), woken by what arrives rather than by polling.
    template <typename Done>
    static bool waitFor(Done done)
    {
        QTimer tick;
        tick.start(20);
        const QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return done();
    }
    void game(const TestFrame& inner) { server.send(gtf::game(table, inner)); }
    GameWindow* window() { return gc.existingView(qint32(table)); }
    /// A span `ms` long from `fromNow` ms on, the end of the question asked with it.
    TestFrame& span(TestFrame&& f, qint64 fromNow, qint64 ms)
    {
        const qint64 now = QDateTime::currentMSecsSinceEpoch() + fromNow;
        ask.end = now + ms;
        return gtf::span(f, quint64(now), quint64(ask.end));
    }
    void askReady()
    {
        game(span(TestFrame(41), 0, 60000));
        ask.kind = Ready;
    }
    void asked(quint32 pid) // the turn to act, the user's own a question
    {
        game(span(std::move(TestFrame(27).u32(pid)), 0, 20000));
        ask.kind = pid == own ? Turn : None;
        toDiscard = int(std::find(seats.begin(), seats.end(), pid) - seats.begin());
    }

    QString pick(bool serverOnly)
    {
        QStringList words;
        if (!serverOnly)
            words << "tile" << "key" << "key" << "button" << "language" << "hide" << "{" << "reopen";
        if (!inPlay)
            words << "deal" << "deal" << (evening ? "deal" : "seat"); // a tournament's server keeps the seats
        else
            words << "washout" << (toDiscard >= 0 ? (toDiscard == 1 ? "snapshot" : "discard") : draws < 40 ? "draw" : "washout");
        if (inPlay && toDiscard == -1 && lastDiscarder >= 0 && lastDiscarder != 1)
            words << "claim";
        if (ask.kind == Turn || ask.kind == Claim)
            words << "timeout";
        if (evening)
            words << "answer" << (inPlay || seating ? "answer" : "round");
        for (int i = 0; evening && !serverOnly && i < 3; ++i)
            words << "joinButton" << "leaveButton" << "question" << "open" << (i ? "open" : "closeButton");
        return words.at(random(int(words.size())));
    }

    void step(const QString& word)
    {
        settle();
        ++steps;
        trail = (trail << word).mid(std::max<qsizetype>(0, trail.size() - 7));
        static const QStringList keys{"Alt+1", "Alt+2", "Alt+3", "Alt+K", "Alt+P", "Alt+M", "Alt+Z", "Alt+4", "Esc"};
        GameWindow* w = window();
        afterInput = true;
        if (word == "tile" && w && !w->handView()->items().empty()) {
            w->flushActions();
            const HandTile* item = w->handView()->items().at(std::size_t(random(int(w->handView()->items().size()))));
            QTest::mouseClick(w->view()->viewport(), Qt::LeftButton, {},
                              w->view()->mapFromScene(item->sceneBoundingRect().center()));
        } else if (word.startsWith("key")) {
            QTest::keySequence(&parent, QKeySequence(word.size() > 4 ? word.mid(4) : keys.at(random(keys.size()))));
        } else if (word == "button" && w) { // any answer on a chooser, notice or board but Leave
            QList<QAbstractButton*> shown;
            for (QWidget* panel : std::initializer_list<QWidget*>{w->meldAuction(), w->seatedWindow(), w->washoutWindow(),
                                                                  w->scoreBoard()})
                for (QAbstractButton* b : panel->findChildren<QAbstractButton*>())
                    if (b->isVisible() && !b->objectName().contains(QLatin1String("eave")))
                        shown << b;
            if (!shown.isEmpty())
                QTest::mouseClick(shown.at(random(int(shown.size()))), Qt::LeftButton);
        } else if (word == "play" && w) {
            QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        } else if (word == "join" || (word == "reopen" && w)) { // Leave in play closes only the page
            auto* leave = w ? w->sideBar()->findChild<QAbstractButton*>(QStringLiteral("leaveButton")) : nullptr;
            if (leave && leave->isVisible()) {
                QTest::mouseClick(leave, Qt::LeftButton);
                if (auto* box = w->findChild<ModelessMsgBox::MsgBox*>()) {
                    (void)QTest::qWaitFor([box] { return box->buttonBox()->button(QDialogButtonBox::Yes)->isEnabled(); });
                    QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
                }
                if (window())
                    return fault(QStringLiteral("the page stayed after Leave"));
                gc.tableView(qint32(table)); // the lobby's row opens it again
            } else if (word == "join") {
                cm.join_table(qint32(table));
            } else {
                return;
            }
            if (!waitFor([this] { return window() != nullptr; }))
                return fault(QStringLiteral("no page"));
            window()->setGeometry(0, 0, 1024, 768);
            window()->show();
            sync();
        } else if (word == "hide" && w) { // another page shown, then this one again
            w->hide();
            QCoreApplication::processEvents();
            w->show();
        } else if (word.endsWith("Button")) { // Register, Unregister, or the tab's close
            const QList<QAbstractButton*> all = lobby->findChildren<QAbstractButton*>(word); // the newest tab's
            QAbstractButton* b = all.value(all.size() - 1);
            if (b && b->isEnabled() && b->isVisibleTo(lobby.get()))
                QTest::mouseClick(b, Qt::LeftButton);
        } else if (word == "open") {
            lobby->displayTournament(qint32(tid));
        } else if (word == "question") { // answered either way, or left open
            for (ModelessMsgBox::MsgBox* box : parent.findChildren<ModelessMsgBox::MsgBox*>(Qt::FindDirectChildrenOnly))
                if (box->isVisible() && random(4))
                    QTest::mouseClick(box->buttonBox()->button(random(3) ? QDialogButtonBox::Yes : QDialogButtonBox::No), Qt::LeftButton);
        } else if (word == "language") { // as a translator installed: every window is told
            QEvent change(QEvent::LanguageChange);
            QCoreApplication::sendEvent(qApp, &change);
            QCoreApplication::processEvents();
        } else {
            afterInput = false;
            serverStep(word);
        }
    }

    void serverStep(const QString& word)
    {
        if (word == "{" || word == "}") {
            frozen = word == "{";
        } else if (word == "deal" && !inPlay) {
            TestFrame start(31);
            start.u64(quint64(++handId)).u32(seats[0]).u32(seats[1]).u32(seats[2]).u32(seats[3]).u32(0).u8(5);
            game(gtf::tableState(gtf::tiles(start, {}).u8(0), seats[0], 0, 0, 0, 0));
            hand.clear();
            for (int i = 0; i < 13; ++i)
                hand << quint8(random(27));
            TestFrame dealt(24);
            game(gtf::tiles(dealt, hand).u8(0));
            for (int wind : {0, 2, 3}) {
                game(TestFrame(28).u8(13).u8(0).u32(seats[wind]));
                counts[seats[wind]] = 13;
                melds[seats[wind]] = 0;
            }
            inPlay = true;
            ask.kind = None;
            toDiscard = lastDiscarder = -1;
            nextDraw = draws = 0;
        } else if (word == "draw" && inPlay && toDiscard == -1) {
            const quint32 pid = seats[nextDraw];
            if (pid == own)
                hand << quint8(random(27));
            game(pid == own ? TestFrame(25).u8(hand.last()).u8(0) : TestFrame(28).u8(1).u8(0).u32(pid));
            ++counts[pid];
            asked(pid);
            ++draws;
        } else if (word.startsWith("discard") && inPlay && toDiscard >= 0 && toDiscard != 1) {
            const quint8 t = quint8(random(27));
            game(TestFrame(33).u8(t).u32(seats[toDiscard]));
            --counts[seats[toDiscard]];
            lastDiscarder = toDiscard;
            nextDraw = (toDiscard + 1) % 4;
            toDiscard = -1;
            // Stale: asked before a stop, over by the server's clock when read.
            const bool stale = word == "discard:stale" || (frozen && word == "discard" && random(2) == 0);
            const bool pong = !stale && word == "discard" && hand.count(t) >= 2 && random(2) == 0;
            TestFrame offer(34);
            if (pong)
                offer.u32(1).u8(meldTypeToWire(game_protocol::meld_type::PONG)).u8(t);
            game(span(std::move(pong ? offer : offer.u32(0)), stale ? -600000 : 0, 15000));
            ask = {stale ? None : Claim, !pong, ask.end, t};
        } else if (word == "claim" && inPlay && toDiscard == -1 && lastDiscarder >= 0 && lastDiscarder != 1) {
            const quint32 pid = seats[std::array{2, 3, 0, 2}[lastDiscarder]];
            if (melds[pid]++ >= 4) // a hand holds four melds
                return;
            game(TestFrame(48).u8(ask.tile).u32(pid));
            game(TestFrame(43).u8(ask.tile).u32(pid));
            counts[pid] -= 2;
            asked(pid);
        } else if (word == "timeout" && (ask.kind == Turn || ask.kind == Claim)) {
            game(TestFrame(36));
            if (ask.kind == Turn)
                discarded(hand.last());
            ask.kind = None;
        } else if (word == "washout" && inPlay) {
            game(gtf::handEnd(quint64(handId), {}, 6, 0));
            inPlay = false;
            askReady();
        } else if (word == "snapshot" && inPlay && toDiscard >= 0) {
            QList<gtf::PlayerRecord> records;
            for (quint8 wind = 0; wind < 4; ++wind)
                records.append(seatRecord(seats[wind], quint8(wind == 1 ? hand.size() : counts[seats[wind]]), wind));
            game(gtf::gameData(quint64(handId), records, 3, {seats[toDiscard]}));
            TestFrame ownHand(38);
            game(gtf::tiles(ownHand, hand).u8(1).u8(0));
        } else if (word == "answer" && requestOpen) {
            server.send(requestOpen == 205 ? TournamentFrames::registerResponse(tid, 0) : TournamentFrames::unregisterResponse(tid, 0));
            registered = std::exchange(requestOpen, 0) == 205;
        } else if (word == "round" && !inPlay && !seating && !frozen) { // the next round, joined before its deal
            seating = true;
            server.send(TournamentFrames::seated(tid, table, 0));
        } else if (word == "seat" && !inPlay) { // a bot leaves between hands, another takes its seat
            const int wind = std::array{0, 2, 3}[random(3)];
            server.send(TestFrame(61).u32(table).u32(seats[wind]));
            seats[wind] = ++lastBot;
            server.send(TestFrame(60).u32(table).u32(seats[wind]).str("bot").u8(0));
            game(TestFrame(54).u32(seats[wind]));
        }
        if (!frozen)
            sync();
    }

    void discarded(quint8 t)
    {
        hand.removeOne(t);
        game(TestFrame(33).u8(t).u32(own));
        toDiscard = -1;
        lastDiscarder = 1;
        nextDraw = 2;
    }

    /// Waits until the client has handled all the server sent (it answers
    /// the ping behind it), and the answers it gives by itself; then the
    /// seats and tile counts shown must be the server's.
    void sync()
    {
        server.send(TestFrame(7).u32(++pings));
        if (!waitFor([this] { return !server.received(7).isEmpty() && server.received(7).last().reader().u32() == pings; }))
            fault(QStringLiteral("the client stopped answering"));
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
        if (evening && !seating && !gc.hasTable(qint32(table)))
            fault(QStringLiteral("the table the server seats the user at is not open"));
        GameWindow* w = window();
        if (!w || handId == 0)
            return;
        w->flushActions();
        for (const quint32 pid : seats) {
            const int held = pid == own ? int(hand.size()) : counts[pid];
            const int shown = pid == own ? int(w->handView()->tiles().size())
                                         : w->hiddenHand(std::max(0, w->orientationOf(qint32(pid))))->count();
            if (!w->sideBar()->hasPlayer(qint32(pid)))
                fault(QStringLiteral("player %1 not shown").arg(pid));
            else if (inPlay && draws > 0 && shown != held)
                fault(QStringLiteral("player %1 shown with %2 tiles, not %3").arg(pid).arg(shown).arg(held));
        }
    }

    /// Takes what the client sent since the last step and holds it to the
    /// question the server had open then.
    void settle()
    {
        const auto arrived = [this] {
            qint64 bytes = 0;
            for (const ReceivedFrame& f : server.received())
                bytes += f.body.size() + 4;
            return bytes == written + cm.connection()->bytesToWrite();
        };
        if (!waitFor(arrived))
            fault(QStringLiteral("frames sent did not arrive"));
        for (; taken < server.received().size(); ++taken) {
            const ReceivedFrame& f = server.received().at(taken);
            if (f.classId == 36)
                fault(QStringLiteral("the table was left"));
            if ((f.classId == 30 && evening && !std::exchange(seating, false))
                || ((f.classId == 205 || f.classId == 207) && (std::exchange(requestOpen, f.classId) || registered != (f.classId == 207))))
                fault(QStringLiteral("frame %1 the server's record does not allow now").arg(f.classId));
            if (f.classId != 100)
                continue;
            TestFrameReader outer = f.reader();
            outer.u64(); // the table and the player
            TestFrameReader inner = outer.nested();
            const int cls = inner.classId();
            const quint32 pass = cls == 52 ? inner.u32() : 0;
            const int arg = cls == 52 || cls == 48 || cls == 56 ? inner.u8() : -1;
            if ((cls == 52 && ask.kind == Claim && pass == own && (arg == 1 ? ask.empty : afterInput))
                || (cls == 48 && ask.kind == Claim && !ask.empty && arg == ask.tile && afterInput)
                || (cls == 56 && ask.kind == Turn && hand.contains(quint8(arg)) && afterInput)
                || (cls == 54 && ask.kind == Ready && afterInput))
                answered(cls, quint8(arg));
            else
                fault(QStringLiteral("answer %1 (%2) with question %3 open%4")
                          .arg(cls).arg(arg).arg(ask.kind).arg(afterInput ? "" : ", not at an input"));
        }
        if (ask.kind == Claim && ask.empty && !afterInput && !frozen && QDateTime::currentMSecsSinceEpoch() < ask.end)
            fault(QStringLiteral("nothing to claim, and no automatic pass"));
    }

    void answered(int cls, quint8 t)
    {
        const Kind was = std::exchange(ask.kind, None);
        if (cls == 48) { // the own pong: the meld, then the turn
            hand.removeOne(t);
            hand.removeOne(t);
            game(TestFrame(48).u8(t).u32(own));
            asked(own);
        } else if (cls == 56) {
            discarded(t);
        } else if (cls == 54 && was == Ready) {
            game(TestFrame(54).u32(own));
        }
    }

    quint32 seed;
    std::mt19937 rng;
    QMainWindow parent; // where the tournament's questions are asked
    TestGameServer server;
    ConnectionManager cm{false};
    TableModel tables{&cm};
    GameController gc{&cm, nullptr, nullptr, &parent};
    static constexpr quint32 tid = 7;
    bool evening = false, seating = false, registered = false; int requestOpen = 0; // the request's class
    TournamentsController tc{&cm, nullptr, nullptr};
    std::unique_ptr<TournamentsLobbyWindow> lobby{tc.createLobbyWindow()};
    std::array<quint32, 4> seats{2001, own, 2003, 2004}; // by wind
    std::map<quint32, int> counts, melds;
    QList<quint8> hand;
    struct { Kind kind = None; bool empty = false; qint64 end = 0; quint8 tile = 0; } ask; // empty: nothing to claim
    int toDiscard = -1, nextDraw = 0, lastDiscarder = -1, draws = 0;
    QStringList trail;
    bool inPlay = false, frozen = false, afterInput = false;
    qint64 handId = 0, written = 0, taken = 0;
    quint32 pings = 0, lastBot = 3000;
};
