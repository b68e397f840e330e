#include "HandScenario.h"

#include "ProtocolValues.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"
#include "meld.h"
#include "../protocol/game_test_frames.h"

#include <QDateTime>
#include <QMap>
#include <QTimer>

#include <algorithm>

namespace {

constexpr quint32 ownId = HandScenario::ownId;
constexpr quint32 eastId = HandScenario::eastId;
constexpr quint32 westId = HandScenario::westId;
constexpr quint32 northId = HandScenario::northId;

// Game action keys: 1000 + the inner class the client sends.
constexpr int chowKey = 1047, pongKey = 1048, passKey = 1052, readyKey = 1054, discardKey = 1056;

constexpr auto chow = game_protocol::meld_type::CHOW;
constexpr auto pong = game_protocol::meld_type::PONG;

/// The user's starting hand: a chow to make with a 6 of bamboo (its 4 and 5
/// lie above the lowest codes, so the claimed tile is not the lowest), a pair
/// of 1 characters to pong, and loose tiles.
const QList<quint8> ownStart{0, 1, 3, 4, 9, 9, 12, 13, 14, 20, 20, 27, 31};

TestFrame& intParam(TestFrame& f, const char* name, qint32 value)
{
    return f.str(name).u8(1).bytes(TestFrame(0).i32(value).body().mid(1));
}

TestFrame& textParam(TestFrame& f, const char* name, const QByteArray& value)
{
    return f.str(name).u8(0).bytes(TestFrame(0).str(value).body().mid(1));
}

void tableRecord(TestFrame& f, quint32 id, const QByteArray& name, int ruleset, int gameType)
{
    f.u32(id).str("101/Regular").str(name).u16(4).u16(3).u32(6);
    intParam(f, "RULESET", ruleset);
    intParam(f, "GAME_TYPE", gameType);
    intParam(f, "SPEED", 20000);
    intParam(f, "BET", 0);
    intParam(f, "NUMBER_OF_BOTS", 3);
    textParam(f, "BONUS_TABLE", "[0, 0, 0, 0]");
}

/// A time span from now to `seconds` later, in server milliseconds.
TestFrame& spanFromNow(TestFrame& f, int seconds)
{
    const quint64 now = quint64(QDateTime::currentMSecsSinceEpoch());
    return gtf::span(f, now, now + quint64(seconds) * 1000);
}

TestFrame tilePid(quint8 cls, quint8 t, quint32 pid)
{
    return TestFrame(cls).u8(t).u32(pid);
}

TestFrame hiddenDraw(quint32 pid, quint8 count, bool dead)
{
    return TestFrame(28).u8(count).u8(dead ? 1 : 0).u32(pid);
}

TestFrame ownDraw(const QList<quint8>& tiles, bool dead)
{
    TestFrame f(24);
    gtf::tiles(f, tiles);
    return f.u8(dead ? 1 : 0);
}

TestFrame shouldAct(quint32 pid, int seconds)
{
    TestFrame f(27);
    f.u32(pid);
    return spanFromNow(f, seconds);
}

TestFrame startHand(qint64 handId, bool newRound, const QList<quint8>& dora)
{
    TestFrame f(31);
    f.u64(quint64(handId)).u32(eastId).u32(ownId).u32(westId).u32(northId);
    f.u32(0);
    f.u8(5);
    gtf::tiles(f, dora);
    f.u8(newRound ? 1 : 0);
    return gtf::tableState(f, eastId, 0, 0, 0, 0);
}

/// The names of the scripted players.
const QMap<quint32, QByteArray>& playerNames()
{
    static const QMap<quint32, QByteArray> names{{eastId, "Ayame"}, {westId, "Kenji"}, {northId, "Mei"}};
    return names;
}

gtf::PlayerRecord bot(quint32 pid, quint8 wind)
{
    gtf::PlayerRecord p;
    p.pid = pid;
    p.tileCount = 0;
    p.wind = wind;
    return p;
}

} // namespace

int HandScenario::rulesetOf(quint32 tableId)
{
    if (tableId >= 511 && tableId <= 513)
        return int(tableId - 511);
    return tableId == tournamentTable ? 2 : -1;
}

QString HandScenario::name(Kind kind)
{
    switch (kind) {
    case Kind::Hand:
        return QStringLiteral("hand");
    case Kind::Washout:
        return QStringLiteral("washout");
    case Kind::Kick:
        return QStringLiteral("kick");
    case Kind::Tournament:
        return QStringLiteral("tournament");
    }
    return {};
}

bool HandScenario::fromName(const QString& text, Kind* kind)
{
    for (Kind k : {Kind::Hand, Kind::Washout, Kind::Kick, Kind::Tournament})
        if (name(k) == text) {
            *kind = k;
            return true;
        }
    return false;
}

HandScenario::HandScenario(TestGameServer& server, Kind kind, int paceMs, quint16 kickReason, QObject* parent)
    : QObject(parent)
    , server(server)
    , kind(kind)
    , paceMs(paceMs)
    , kickReason(kickReason)
{
    // The lobby: the three hand tables, or the tournament's table.
    server.onRequest(145, [this](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const quint8 list = r.u8();
        r.u32();
        const QByteArray path = r.str();
        // A new session's first subscription: the user still sits at the table.
        if (m_seatKept && !m_seatTold) {
            m_seatTold = true;
            Q_EMIT logged(QStringLiteral("telling the user of the seat kept at table %1").arg(m_table));
            sendSeatNotice();
        }
        if (list == 1) {
            if (this->kind == Kind::Tournament && m_listTournament) {
                // The tournament is playing its first round, which started a
                // minute ago and lasts an hour.
                const quint32 started = quint32(QDateTime::currentSecsSinceEpoch() - 60);
                TournamentFrames::Tournament t = TournamentFrames::tournament(
                    tournamentId, "Spring cup", 3, 4, 4, 1000, started, 3 * 3600);
                t.params.append(TournamentFrames::text(
                    "ROUNDS_START", QByteArray::number(started) + ',' + QByteArray::number(started + 3600) + ','
                                        + QByteArray::number(started + 7200)));
                t.params.append(TournamentFrames::text("ROUNDS_LENGTH", "3600,3600,3600"));
                this->server.send(TournamentFrames::snapshotList({t}));
            } else {
                this->server.send(TestFrame(155).u32(0));
            }
            if (this->kind == Kind::Tournament && !m_seatKept) {
                Q_EMIT logged(QStringLiteral("seating the user at tournament table %1").arg(tournamentTable));
                this->server.send(TournamentFrames::seated(tournamentId, tournamentTable, 0));
            }
            return;
        }
        if (path == "mtt/" + QByteArray::number(tournamentId)) {
            this->server.send(TournamentFrames::tournamentTable(tournamentId, tournamentTable, "Final table", 3));
            return;
        }
        TestFrame tables(153);
        if (path == "Regular") {
            tables.u32(3);
            tableRecord(tables, tableFor(0), "Classic hand", 0, 0);
            tableRecord(tables, tableFor(1), "International hand", 1, 0);
            tableRecord(tables, tableFor(2), "Riichi hand", 2, 2);
        } else {
            tables.u32(0);
        }
        this->server.send(tables);
    });
    // What the client may send at any time besides the script's requests,
    // all else being reported as unexpected:
    // - lobby subscriptions and their ends (145, 146), of any path;
    // - questions for a player's name (16), answered for the scripted players
    //   (the client asks for each name it lacks);
    // - watching and no longer watching (32, 34) one of the scenario's tables;
    // - leaving (36) the table played while no hand is in play there (a
    //   leave during a hand only closes the table's page; the client sends
    //   it once the hand is over).
    server.onRequest(146, [](const ReceivedFrame&) {});
    server.onRequest(16, [this](const ReceivedFrame& f) {
        const quint32 pid = f.reader().u32();
        const QByteArray name = playerNames().value(pid);
        Q_EMIT logged(QStringLiteral("player query %1").arg(pid));
        this->server.send(TestFrame(17).u32(pid).str(name).u8(name.isEmpty() ? 2 : 0).bytes({}));
    });
    server.onRequest(30, [this](const ReceivedFrame& f) { onFrame(f); });
    server.onRequest(32, [this](const ReceivedFrame& f) {
        const quint32 id = f.reader().u32();
        Q_EMIT logged(QStringLiteral("watch table %1").arg(id));
        if (rulesetOf(id) < 0)
            reject(QStringLiteral("watch of table %1, which is not listed").arg(id));
        this->server.send(TestFrame(33).u32(id).u8(0));
        this->server.send(gtf::game(id, gtf::gameData(0, {bot(eastId, 0), bot(westId, 2), bot(northId, 3)}, 0, {})));
    });
    server.onRequest(34, [this](const ReceivedFrame& f) {
        const quint32 id = f.reader().u32();
        Q_EMIT logged(QStringLiteral("unwatch table %1").arg(id));
        if (rulesetOf(id) < 0)
            reject(QStringLiteral("unwatch of table %1, which is not listed").arg(id));
        this->server.send(TestFrame(35).u32(id).u8(0));
    });
    server.onRequest(36, [this](const ReceivedFrame& f) {
        const quint32 id = f.reader().u32();
        Q_EMIT logged(QStringLiteral("leave table %1").arg(id));
        if (id != m_table || m_handInPlay)
            reject(QStringLiteral("leave of table %1 during a hand or at another table").arg(id));
        steps.clear();
        m_waiting.clear();
        ++m_serial;
        this->server.send(TestFrame(37).u32(id).u8(0).u32(0));
    });
    server.onRequest(100, [this](const ReceivedFrame& f) { onGameAction(f); });
    server.onRequest(104, [this](const ReceivedFrame& f) {
        if (f.reader().u32() != tournamentId)
            return reject(QStringLiteral("request about another tournament"));
        this->server.send(TournamentFrames::rankings(tournamentId, {{westId, "Kenji", 30, 3}, {ownId, "", 10, 1}}));
    });
    // A session that ends at the table before its game is over (its link
    // closed, or a new connection in its place) keeps the seat, as the real
    // server does; the hand goes on without the user.
    const auto keepSeat = [this] {
        if (m_table == 0 || m_finished || m_seatKept || steps.empty() || steps.front().name == QLatin1String("join"))
            return;
        m_seatKept = true;
        m_seatTold = false;
        Q_EMIT logged(QStringLiteral("session ended: the seat at table %1 is kept").arg(m_table));
    };
    connect(&server, &TestGameServer::clientDisconnected, this, keepSeat);
    connect(&server, &TestGameServer::clientConnected, this, keepSeat);
    connect(&server, &TestGameServer::unhandledFrame, this, [this](quint8 classId, const QByteArray&) {
        reject(QStringLiteral("frame of class %1 not expected").arg(classId));
    });

    // The script starts with the join.
    push({QStringLiteral("join"), {}, {30}, {}});
}

HandScenario::~HandScenario() = default;

void HandScenario::answerLogins()
{
    server.onRequest(10, [this](const ReceivedFrame& f) {
        const QByteArray user = f.reader().str();
        Q_EMIT logged(QStringLiteral("login as %1").arg(QString::fromLatin1(user)));
        server.send(TestFrame(11).str(user.isEmpty() ? "guest" : user).u32(ownId).u8(0).u32(1).str("").bytes("secret"));
    });
}

void HandScenario::send(const TestFrame& frame)
{
    server.send(frame);
}

void HandScenario::sendGame(const TestFrame& inner)
{
    track(inner);
    server.send(gtf::game(m_table, inner));
}

void HandScenario::track(const TestFrame& inner)
{
    TestFrameReader r(inner.body());
    switch (r.classId()) {
    case 24: // the own tiles from the wall
        m_seats[ownId].count += quint8(r.u32());
        break;
    case 25:
        m_seats[ownId].count += 1;
        break;
    case 28: { // another player's tiles from the wall
        const quint8 n = r.u8();
        r.u8();
        m_seats[r.u32()].count += n;
        break;
    }
    case 33: { // a discard
        const quint8 t = r.u8();
        m_lastDiscarder = r.u32();
        Seat& seat = m_seats[m_lastDiscarder];
        seat.count -= 1;
        seat.discards.append(t);
        break;
    }
    case 34: // offers to claim, and the questions of the own turn and of readiness
    case 41:
        m_prompt = inner;
        break;
    case 27:
        if (r.u32() == ownId)
            m_prompt = inner;
        break;
    case 31: // a new hand
        m_handId = qint64(r.u64());
        m_seats.clear();
        break;
    default:
        break;
    }
}

void HandScenario::sendSeatNotice()
{
    // A tournament's table goes with its tournament: the round continues.
    const bool round = kind == Kind::Tournament;
    static const QByteArray names[] = {"Classic hand", "International hand", "Riichi hand"};
    TestFrame f(62);
    f.u32(m_table).u8(1).u32(round ? tournamentId : quint32(-1));
    tableRecord(f, m_table, round ? QByteArray("Final table") : names[ruleset], ruleset, round ? 1 : ruleset == 2 ? 2 : 0);
    const TestFrame table = TournamentFrames::tournamentTable(tournamentId, m_table, "Final table", 3); // as its list has it
    send(round ? TestFrame(62).u32(m_table).u8(1).u32(tournamentId).raw(table.body().mid(5)) : f);
}

void HandScenario::rejoin()
{
    Q_EMIT logged(QStringLiteral("rejoin of table %1 at %2").arg(m_table).arg(m_waiting));
    send(TestFrame(31).u32(m_table).u8(1).u8(0).u32(0));
    sendSeatNotice();
    for (auto it = playerNames().begin(); it != playerNames().end(); ++it)
        send(TestFrame(13).u32(it.key()).str(it.value()).u32(0));
    // The server's game states on the wire: 3 a tile claimed or drawn (the
    // one current player acts), 4 a tile discarded (the others may claim
    // it), 6 the hand ended.
    const bool claim = !steps.empty() && steps.front().awaits.contains(passKey);
    const quint8 state = !m_handInPlay ? 6 : claim ? 4 : 3;
    QList<quint32> current;
    if (state == 3)
        current = {ownId};
    for (quint32 pid : {eastId, ownId, westId, northId})
        if (state == 4 && pid != m_lastDiscarder)
            current.append(pid);
    TestFrame f(37);
    f.u64(quint64(m_handId)).u32(4);
    const std::pair<quint32, quint8> seats[] = {{ownId, 1}, {eastId, 0}, {westId, 2}, {northId, 3}};
    for (const auto& [pid, wind] : seats) {
        gtf::PlayerRecord p = bot(pid, wind);
        p.tileCount = pid == ownId ? quint8(m_hand.size()) : m_seats[pid].count;
        p.discards = m_seats[pid].discards;
        p.ready = m_handInPlay ? 1 : 0; // between hands nobody has said ready yet
        gtf::playerRecord(f, p);
    }
    f.u8(state).u32(quint32(current.size()));
    for (quint32 pid : current)
        f.u32(pid);
    gtf::span(f, quint64(QDateTime::currentMSecsSinceEpoch()), quint64(m_deadline)).u16(70).u16(14).u16(3).u16(1);
    gtf::tiles(f, ruleset == 2 ? QList<quint8>{20} : QList<quint8>{});
    sendGame(gtf::tableState(f, eastId, 0, 0, 0, 0));
    if (m_handInPlay) {
        TestFrame own(38);
        gtf::tiles(own, m_hand);
        sendGame(own.u8(1).u8(0));
    }
    // What the user was asked, with the time that is left of it.
    if (!m_waiting.isEmpty() && state != 3 && m_prompt)
        sendGame(*m_prompt);
}

TestFrame& HandScenario::userTime(TestFrame& f, int ms)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_deadline = now + ms;
    return gtf::span(f, quint64(now), quint64(m_deadline));
}

TestFrame HandScenario::offers(const QList<QPair<int, quint8>>& list)
{
    // Each meld type written with the client's own wire conversion.
    TestFrame f(34);
    f.u32(quint32(list.size()));
    for (const auto& [type, t] : list)
        f.u8(meldTypeToWire(game_protocol::meld_type::enum_t(type))).u8(t);
    m_offerHasChoices = !list.isEmpty();
    return userTime(f, m_claimMs);
}

TestFrame HandScenario::ownTurn()
{
    TestFrame f(27);
    f.u32(ownId);
    return userTime(f, m_turnMs);
}

HandScenario::Step HandScenario::discardStep(const QString& name)
{
    return {name, {}, {discardKey}, [this](int, TestFrameReader& r) {
                const quint8 t = r.u8();
                if (!m_hand.removeOne(t))
                    reject(QStringLiteral("discard of tile %1, which the user does not hold").arg(t));
                sendGame(tilePid(33, t, ownId));
            }, discardKey};
}

void HandScenario::push(Step step)
{
    steps.push_back(std::move(step));
}

void HandScenario::pushFront(QList<Step> list)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        steps.push_front(std::move(*it));
}

void HandScenario::onFrame(const ReceivedFrame& frame)
{
    TestFrameReader reader = frame.reader();
    if (frame.classId == 30 && m_seatKept && TestFrameReader(frame.body).u32() == m_table) {
        // A game played out meanwhile leaves the table to be joined anew.
        m_seatKept = false;
        if (steps.empty() || steps.front().name != QLatin1String("join"))
            return rejoin();
    }
    if (steps.empty() || !steps.front().awaits.contains(frame.classId)) {
        if (frame.classId == 30) {
            // A join outside the script (a second join): refused as the table is taken.
            const quint32 id = reader.u32();
            reject(QStringLiteral("join of table %1 not expected now").arg(id));
            send(TestFrame(31).u32(id).u8(0).u8(1).u32(1));
        }
        return;
    }
    Step step = std::move(steps.front());
    steps.pop_front();
    m_waiting.clear();
    ++m_serial;
    if (frame.classId == 30) {
        const quint32 id = reader.u32();
        if (rulesetOf(id) < 0) {
            send(TestFrame(31).u32(id).u8(0).u8(1).u32(1));
            steps.push_front(std::move(step));
            return;
        }
        scriptJoin(id);
    }
    run();
}

void HandScenario::reject(const QString& line)
{
    Q_EMIT logged(line);
    Q_EMIT unexpected(line);
}

void HandScenario::onGameAction(const ReceivedFrame& frame)
{
    TestFrameReader outer = frame.reader();
    const quint32 table = outer.u32();
    const quint32 player = outer.u32();
    TestFrameReader inner = outer.nested();
    const int key = 1000 + inner.classId();
    if (table != m_table || player != ownId)
        return reject(QStringLiteral("game action %1 for table %2 by player %3").arg(inner.classId()).arg(table).arg(player));
    if (steps.empty() || !steps.front().awaits.contains(key))
        return reject(QStringLiteral("game action %1 not expected now").arg(inner.classId()));
    if (key == passKey) {
        // A pass answers the open offer only while its time runs; the
        // client passes by itself only when there is nothing to choose.
        TestFrameReader pass = inner;
        const quint32 pid = pass.u32();
        const bool automatic = pass.u8() != 0;
        if (QDateTime::currentMSecsSinceEpoch() > m_deadline)
            return reject(QStringLiteral("pass after the time to claim ran out"));
        if (pid != ownId || (automatic && m_offerHasChoices))
            return reject(QStringLiteral("pass by %1 %2").arg(pid).arg(automatic ? "automatic" : "chosen"));
    }
    take(key, inner);
}

void HandScenario::take(int key, TestFrameReader& inner)
{
    Step step = std::move(steps.front());
    steps.pop_front();
    m_waiting.clear();
    ++m_serial;
    if (step.received)
        step.received(key, inner);
    run();
}

void HandScenario::onTimeLimit(int serial)
{
    if (serial != m_serial || steps.empty() || steps.front().onTimeout == 0)
        return;
    const int key = steps.front().onTimeout;
    Q_EMIT logged(QStringLiteral("time-out at %1").arg(steps.front().name));
    if (key == readyKey) { // not ready by the notice's end: unseated (a kick leaving the table watched), may join again
        send(TestFrame(64).u32(m_table).u16(3));
        steps.clear();
        m_waiting.clear();
        return push({QStringLiteral("join"), {}, {30}, {}});
    }
    sendGame(TestFrame(36));
    // The server's own answer for the user: a pass, or the newest tile.
    TestFrame action(quint8(key - 1000));
    if (key == passKey)
        action.u32(ownId).u8(1);
    else
        action.u8(m_hand.isEmpty() ? 0 : m_hand.last());
    TestFrameReader inner(action.body());
    take(key, inner);
}

void HandScenario::run()
{
    if (running)
        return;
    running = true;
    while (!steps.empty() && !paused) {
        Step& front = steps.front();
        if (!front.awaits.isEmpty()) {
            if (m_waiting != front.name) {
                m_waiting = front.name;
                Q_EMIT logged(QStringLiteral("waiting: %1").arg(front.name));
                if (front.onTimeout != 0) {
                    const qint64 left = m_deadline - QDateTime::currentMSecsSinceEpoch();
                    QTimer::singleShot(int(std::clamp<qint64>(left, 0, 3600000)), Qt::PreciseTimer, this,
                                       [this, serial = m_serial] { onTimeLimit(serial); });
                }
                Q_EMIT waiting(front.name);
            }
            running = false;
            return;
        }
        Step step = std::move(front);
        steps.pop_front();
        if (step.send)
            step.send();
        if (paceMs > 0 && !steps.empty()) {
            paused = true;
            QTimer::singleShot(paceMs, this, [this] {
                paused = false;
                run();
            });
        }
    }
    running = false;
    if (steps.empty() && !paused && !m_finished && m_table != 0) {
        m_finished = true;
        Q_EMIT logged(QStringLiteral("scenario finished"));
        Q_EMIT finished();
    }
}

// --- the script

void HandScenario::scriptJoin(quint32 tableId)
{
    m_table = tableId;
    ruleset = rulesetOf(tableId);
    push({QStringLiteral("snapshot"), [this] {
              send(TestFrame(31).u32(m_table).u8(1).u8(0).u32(0));
              // As the real server does: the join is followed by the notice
              // that the user is seated there, which carries the record.
              const auto notice = [this] { sendSeatNotice(); };
              if (m_recordDelayMs < 0)
                  notice();
              // Player information first, so the snapshot's players have names.
              for (auto it = playerNames().begin(); it != playerNames().end(); ++it)
                  send(TestFrame(13).u32(it.key()).str(it.value()).u32(0));
              sendGame(gtf::gameData(0, {bot(eastId, 0), bot(westId, 2), bot(northId, 3)}, 0, {}));
              if (m_recordDelayMs >= 0)
                  QTimer::singleShot(m_recordDelayMs, Qt::PreciseTimer, this, notice);
          }, {}, {}});
    if (kind == Kind::Kick && !m_kicked) {
        push({QStringLiteral("kick"), [this] {
                  m_kicked = true;
                  send(TestFrame(64).u32(m_table).u16(kickReason));
              }, {}, {}});
        // The user may join again: the seat is offered as to anyone.
        push({QStringLiteral("join"), {}, {30}, {}});
        return;
    }
    if (kind == Kind::Tournament)
        push({QStringLiteral("start hand"), [this] {
                  m_handInPlay = true;
                  sendGame(startHand(1, true, {20}));
              }, {}, {}});
    else
        scriptReadyAndStart(1, true);
    scriptDeal();
    switch (kind) {
    case Kind::Hand:
        scriptClaimsAndDiscards();
        scriptKongRiichiBonus();
        for (Step& step : ownTurnSteps(ruleset == 2 ? 22 : 23, QStringLiteral("discard after the draw")))
            push(std::move(step));
        scriptScoredEnd(1, false);
        scriptReadyAndStart(2, false);
        scriptDeal();
        if (m_longerGame)
            scriptClaimsAndDiscards();
        scriptWashout(2, true);
        if (m_longerGame)
            push({QStringLiteral("ready for the next game"), {}, {readyKey}, {}});
        break;
    case Kind::Washout:
        for (Step& step : ownTurnSteps(21, QStringLiteral("discard after the draw")))
            push(std::move(step));
        scriptWashout(1, true);
        break;
    case Kind::Tournament:
        scriptClaimsAndDiscards();
        scriptScoredEnd(1, true);
        push({QStringLiteral("end of tournament round"), [this] {
                  send(TournamentFrames::roundScores(tournamentId, m_table, true,
                                                     {{westId, 30, 3000}, {ownId, 10, 1000},
                                                      {eastId, 0, quint32(-1000)}, {northId, 0, quint32(-3000)}}));
              }, {}, {}});
        // The table is played again when the user joins it once more (the
        // next round seats them there, or they come back to it).
        push({QStringLiteral("join"), {}, {30}, {}});
        break;
    case Kind::Kick: // joined again after the kick: the hand is dealt
        break;
    }
}

void HandScenario::scriptReadyAndStart(qint64 handId, bool newRound)
{
    push({QStringLiteral("are you ready"), [this] {
              TestFrame f(41);
              sendGame(userTime(f, m_readyMs));
          }, {}, {}});
    push({QStringLiteral("ready"), {}, {readyKey}, {}, readyKey});
    push({QStringLiteral("start hand"), [this, handId, newRound] {
              for (quint32 pid : {ownId, eastId, westId, northId})
                  sendGame(TestFrame(54).u32(pid));
              m_handInPlay = true;
              sendGame(startHand(handId, newRound, ruleset == 2 ? QList<quint8>{20} : QList<quint8>{}));
          }, {}, {}});
}

void HandScenario::scriptDeal()
{
    push({QStringLiteral("deal"), [this] {
              m_hand = ownStart;
              sendGame(ownDraw(ownStart, false));
              for (quint32 pid : {eastId, westId, northId})
                  sendGame(hiddenDraw(pid, 13, false));
          }, {}, {}});
}

QList<HandScenario::Step> HandScenario::ownTurnSteps(quint8 drawn, const QString& name)
{
    return {{name + QStringLiteral(" (draw)"), [this, drawn] {
                 m_hand.append(drawn);
                 sendGame(TestFrame(25).u8(drawn).u8(0));
                 sendGame(ownTurn());
             }, {}, {}},
            discardStep(name)};
}

QList<HandScenario::Step> HandScenario::claimSteps(const QString& meld, quint8 cls, TestFrameReader& claim,
                                                  quint8 offered, const QList<quint8>& held)
{
    if (claim.u8() != offered)
        reject(QStringLiteral("%1 of another tile than the offered one").arg(meld));
    for (quint8 t : held)
        m_hand.removeOne(t);
    return {{meld, [this, cls, offered] {
                 sendGame(tilePid(cls, offered, ownId));
                 sendGame(ownTurn());
             }, {}, {}},
            discardStep(QStringLiteral("discard after the ") + meld)};
}

void HandScenario::scriptClaimsAndDiscards()
{
    // East draws and discards a 6 of bamboo: the user may chow it with 4-5.
    push({QStringLiteral("east discards"), [this] {
              sendGame(hiddenDraw(eastId, 1, false));
              sendGame(shouldAct(eastId, 20));
              sendGame(tilePid(33, 5, eastId));
              sendGame(offers({{chow, 3}}));
          }, {}, {}});
    push({QStringLiteral("chow or pass"), {}, {chowKey, passKey}, [this](int key, TestFrameReader& r) {
              if (key == chowKey)
                  pushFront(claimSteps(QStringLiteral("chow"), 47, r, 3, {3, 4}));
              else
                  pushFront(ownTurnSteps(21, QStringLiteral("discard after the pass")));
          }, passKey});
    // West discards a 1 of characters: the user may pong it.
    push({QStringLiteral("west discards"), [this] {
              sendGame(hiddenDraw(westId, 1, false));
              sendGame(shouldAct(westId, 20));
              sendGame(tilePid(33, 9, westId));
              sendGame(offers({{pong, 9}}));
          }, {}, {}});
    push({QStringLiteral("pong or pass"), {}, {pongKey, passKey}, [this](int key, TestFrameReader& r) {
              if (key != pongKey) {
                  pushFront({{QStringLiteral("north takes the 1"), [this] {
                      sendGame(hiddenDraw(northId, 1, false));
                      sendGame(tilePid(33, 10, northId));
                  }, {}, {}}});
                  return;
              }
              pushFront(claimSteps(QStringLiteral("pong"), 48, r, 9, {9, 9}));
          }, passKey});
    // West discards a dragon; the user can only pass, and East, across from
    // West, pongs it.
    push({QStringLiteral("west discards the dragon"), [this] {
              sendGame(hiddenDraw(westId, 1, false));
              sendGame(tilePid(33, 32, westId));
              sendGame(offers({}));
          }, {}, {}});
    push({QStringLiteral("pass on the dragon"), {}, {passKey}, {}, passKey});
    push({QStringLiteral("east pongs"), [this] {
              sendGame(tilePid(48, 32, eastId));
              sendGame(TestFrame(43).u8(32).u32(eastId));
              sendGame(tilePid(33, 5, eastId));
          }, {}, {}});
}

void HandScenario::scriptKongRiichiBonus()
{
    push({QStringLiteral("west kong"), [this] {
              sendGame(hiddenDraw(westId, 1, false));
              sendGame(TestFrame(49).u8(15).u8(2).u32(westId));
              sendGame(hiddenDraw(westId, 1, true));
              if (ruleset == 2)
                  sendGame(TestFrame(46).u32(m_table).u8(24));
              sendGame(tilePid(33, 6, westId));
          }, {}, {}});
    push({QStringLiteral("north riichi or bonus"), [this] {
              sendGame(hiddenDraw(northId, 1, false));
              if (ruleset == 2) {
                  sendGame(tilePid(51, 7, northId));
                  return;
              }
              TestFrame bonus(29);
              gtf::tiles(bonus, {34}).u32(northId);
              sendGame(bonus);
              sendGame(hiddenDraw(northId, 1, true));
              sendGame(tilePid(33, 7, northId));
          }, {}, {}});
}

void HandScenario::scriptScoredEnd(qint64 handId, bool endOfGame)
{
    push({QStringLiteral("west wins"), [this, handId, endOfGame] {
              sendGame(hiddenDraw(eastId, 1, false));
              sendGame(tilePid(33, 16, eastId));
              sendGame(TestFrame(45).u32(westId));
              QList<gtf::ScoreRecord> scores(4);
              const quint32 ids[] = {ownId, eastId, westId, northId};
              const qint32 current[] = {-8, -16, 32, -8};
              for (int i = 0; i < 4; ++i) {
                  scores[i].pid = ids[i];
                  scores[i].currentScore = quint32(current[i]);
                  scores[i].handScore = quint32(current[i]);
                  scores[i].scoreType = ids[i] == westId ? 1 : 0;
              }
              scores[2].points = {{1, 20}, {5, 4}};
              scores[2].doubles = {{3, 1}};
              scores[2].highlighted = {{0, {10, 11, 12}}, {0, {15, 15, 15, 15}}};
              // The user's hand is shown too; East's and North's are not sent.
              scores[0].highlighted = {{0, {1, 2, 3, 18, 19, 20, 31, 31}}};
              m_handInPlay = false;
              sendGame(gtf::handEnd(quint64(handId), scores, 2, endOfGame ? 1 : 0));
          }, {}, {}});
}

void HandScenario::scriptWashout(qint64 handId, bool endOfGame)
{
    push({QStringLiteral("east's last discard"), [this] {
              sendGame(hiddenDraw(eastId, 1, false));
              sendGame(tilePid(33, 30, eastId));
              sendGame(offers({}));
          }, {}, {}});
    push({QStringLiteral("pass on the last discard"), {}, {passKey}, {}, passKey});
    push({QStringLiteral("wash-out"), [this, handId, endOfGame] {
              m_handInPlay = false;
              sendGame(gtf::handEnd(quint64(handId), {}, 6, endOfGame ? 1 : 0));
          }, {}, {}});
}
