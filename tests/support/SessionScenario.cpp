#include "SessionScenario.h"

#include "TestGameServer.h"

#include <QDateTime>
#include <QTimer>

namespace {

const char backendService[] = "com.quobrix.backend.BackendService";

TestFrame& intParam(TestFrame& f, const char* name, quint32 value)
{
    return f.str(name).u8(1).bytes(TestFrame(0).u32(value).body().mid(1));
}

TestFrame& tableRecord(TestFrame& f, const SessionScenario::Table& t)
{
    const bool money = t.settlement >= 0;
    f.u32(t.id).str(t.path).str(t.name).u16(t.capacity).u16(t.seated).u32(money ? 7 : 5);
    intParam(f, "RULESET", t.ruleset);
    intParam(f, "GAME_TYPE", t.gameType);
    intParam(f, "SPEED", t.speed);
    intParam(f, "BET", t.bet);
    intParam(f, "NUMBER_OF_BOTS", 0);
    if (money) {
        intParam(f, "SETTLEMENT", quint32(t.settlement));
        intParam(f, "FEE", t.bet / 10);
    }
    return f;
}

TestFrame serviceAnswer(quint32 seq, const TestFrame& inner)
{
    return TestFrame(101).u32(0).u32(seq).str(backendService).u8(0).nested(inner);
}

TestFrame localAnswer(quint32 seq, const TestFrame& inner)
{
    return TestFrame(103).u32(seq).nested(inner);
}

const char* const names[] = {"Bamboo", "Dragon", "Lotus", "Crane", "Plum", "Pine", "Tiger", "Jade", "Cloud", "River"};
const char* const kinds[] = {"Grove", "Hall", "Garden", "Court", "Terrace"};

}

SessionScenario::SessionScenario(TestGameServer& server, QObject* parent)
    : QObject(parent)
    , m_server(server)
    , m_tables(makeTables(30, 5))
    // What the login page asks for before a login has nothing built in: the
    // service always names it.
    , m_pages({{2, "http://{host}/register.html?partner={partnerId}"},
               {10, "http://{host}/terms.html"},
               {11, "http://{host}/reset-password.html"}})
    , m_config({"", "", "", ""})
{
    server.onRequest(10, [this](const ReceivedFrame& f) { onLogin(f); });
    server.onRequest(12, [this](const ReceivedFrame&) {
        add(QStringLiteral("logout"));
        m_server.closeClient();
    });
    server.onRequest(30, [this](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const quint32 table = r.u32();
        const quint8 seat = r.u8();
        add(QStringLiteral("join %1 seat %2").arg(table).arg(seat));
        if (m_joinAnswer == 0)
            m_server.send(TestFrame(31).u32(table).u8(seat).u8(0).u32(0));
        else if (m_joinAnswer > 0)
            m_server.send(TestFrame(31).u32(table).u8(seat).u8(1).u32(quint32(m_joinAnswer)));
    });
    server.onRequest(32, [this](const ReceivedFrame& f) {
        add(QStringLiteral("watch %1").arg(f.reader().u32()));
    });
    server.onRequest(101, [this](const ReceivedFrame& f) { onService(f); });
    server.onRequest(103, [this](const ReceivedFrame& f) { onLocalService(f); });
    server.onRequest(145, [this](const ReceivedFrame& f) { onSubscribe(f); });
    server.onRequest(146, [this](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        r.u8();
        const quint32 game = r.u32();
        add(QStringLiteral("unsubscribe %1/%2").arg(game).arg(QString::fromLatin1(r.str())));
    });
    server.onRequest(170, [this](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const quint32 seq = r.u32();
        r.u32();
        add(QStringLiteral("quick join %1").arg(QString::fromLatin1(r.str())));
        if (m_quickJoinAnswer >= 0)
            m_server.send(TestFrame(171).u32(seq).u32(0).str("").u8(quint8(m_quickJoinAnswer)));
    });
    server.onRequest(172, [this](const ReceivedFrame& f) {
        const quint32 seq = f.reader().u32();
        add(QStringLiteral("cancel quick join"));
        m_server.send(TestFrame(173).u32(seq).u8(0));
    });
}

SessionScenario::~SessionScenario() = default;

QList<SessionScenario::Table> SessionScenario::makeTables(int regular, int practice)
{
    QList<Table> tables;
    const int count = regular + practice;
    for (int i = 0; i < count; ++i) {
        Table t;
        t.id = quint32(700 + i);
        t.path = i < regular ? "101/Regular" : "101/Practice";
        t.name = QByteArray(names[i % 10]) + ' ' + kinds[(i / 10) % 5] + ' ' + QByteArray::number(i + 1);
        t.ruleset = quint32(i % 3);
        t.gameType = (i % 4 == 3) ? 2 : 0;
        t.speed = quint32(10000 + 5000 * (i % 3));
        t.seated = quint16(i % 5 == 1 ? 4 : i % 4);
        if (i < regular && i % 5 == 4) {
            t.settlement = 1;
            t.bet = 500 + 250 * quint32(i % 3);
        }
        tables << t;
    }
    return tables;
}

void SessionScenario::add(const QString& line)
{
    m_log << line;
    Q_EMIT requestLogged(line);
}

void SessionScenario::onLogin(const ReceivedFrame& f)
{
    TestFrameReader r = f.reader();
    const QByteArray user = r.str();
    const QByteArray password = r.str();
    const quint32 partner = r.u32();
    add(QStringLiteral("login %1 %2 partner %3")
            .arg(QString::fromLatin1(user), QString::fromUtf8(password))
            .arg(partner));
    if (m_loginRefusal == -2)
        return;
    const TestFrame answer = m_loginRefusal >= 0
                                 ? TestFrame(11).str(user).u32(0).u8(1).u32(quint32(m_loginRefusal)).str("").bytes("")
                                 : TestFrame(11).str(user).u32(playerId).u8(0).u32(1).str("").bytes("secret");
    if (m_loginDelayMs == 0)
        m_server.send(answer);
    else
        QTimer::singleShot(m_loginDelayMs, this, [reply = m_server.replyChannel(), answer] { reply(answer); });
}

void SessionScenario::onService(const ReceivedFrame& f)
{
    TestFrameReader r = f.reader();
    const quint32 pid = r.u32();
    const quint32 seq = r.u32();
    const QByteArray service = r.str();
    r.u8();
    TestFrameReader inner = r.nested();
    const QString from = pid == playerId ? QString() : QStringLiteral(" (player %1)").arg(pid);
    switch (inner.classId()) {
    case 63:
        add(QStringLiteral("balance") + from);
        m_server.send(serviceAnswer(seq, TestFrame(73).u64(m_balance)));
        break;
    case 64:
        add(QStringLiteral("client id %1").arg(QString::fromLatin1(inner.str())) + from);
        m_server.send(serviceAnswer(seq, TestFrame(71)));
        break;
    case 65:
        add(QStringLiteral("password %1").arg(QString::fromUtf8(inner.str())) + from);
        if (m_passwordAnswer != -2)
            m_server.send(serviceAnswer(
                seq, m_passwordAnswer < 0 ? TestFrame(71) : TestFrame(72).u8(quint8(m_passwordAnswer)).u32(0)));
        else
            m_unansweredPasswords << seq;
        break;
    case 67:
        add(QStringLiteral("time") + from);
        m_server.send(serviceAnswer(seq, TestFrame(76).u64(quint64(QDateTime::currentMSecsSinceEpoch()))));
        break;
    case 68: {
        add(QStringLiteral("client config") + from);
        TestFrame config(77);
        for (const QByteArray& text : m_config)
            config.str(text);
        m_server.send(serviceAnswer(seq, config));
        break;
    }
    case 69: {
        const quint8 page = inner.u8();
        add(QStringLiteral("page %1").arg(page) + from);
        m_server.send(serviceAnswer(seq, TestFrame(78).u8(page).str(m_pages.value(page))));
        break;
    }
    default:
        add(QStringLiteral("service %1 %2").arg(inner.classId()).arg(QString::fromLatin1(service)) + from);
        break;
    }
}

TestFrame SessionScenario::passwordAnswer(int index, qint32 code) const
{
    return serviceAnswer(m_unansweredPasswords.value(index),
                         code < 0 ? TestFrame(71) : TestFrame(72).u8(quint8(code)).u32(0));
}

TestFrame SessionScenario::tableList(const QList<Table>& tables)
{
    TestFrame list(153);
    list.u32(quint32(tables.size()));
    for (const Table& t : tables)
        tableRecord(list, t);
    return list;
}

void SessionScenario::onLocalService(const ReceivedFrame& f)
{
    TestFrameReader r = f.reader();
    const quint32 seq = r.u32();
    TestFrameReader inner = r.nested();
    if (inner.classId() == 69) {
        const quint8 page = inner.u8();
        add(QStringLiteral("local page %1").arg(page));
        m_server.send(localAnswer(seq, TestFrame(78).u8(page).str(m_pages.value(page))));
        return;
    }
    if (inner.classId() == 70) {
        const quint32 partner = inner.u32();
        const QByteArray affiliate = inner.str();
        const QByteArray user = inner.str();
        const QByteArray password = inner.str();
        const QByteArray email = inner.str();
        add(QStringLiteral("register %1 partner %2").arg(QString::fromUtf8(user)).arg(partner));
        m_registrations << QStringList{QString::fromUtf8(user), QString::fromUtf8(password), QString::fromUtf8(email),
                                       QString::fromUtf8(affiliate)}
                               .join(QLatin1Char('|'));
        if (m_registrationFailure >= 0)
            m_server.send(localAnswer(seq, TestFrame(72).u8(quint8(m_registrationFailure)).u32(0)));
        else
            m_server.send(localAnswer(seq, TestFrame(75).u8(m_registrationActive ? 1 : 0)));
        return;
    }
    add(QStringLiteral("local service %1").arg(inner.classId()));
}

void SessionScenario::onSubscribe(const ReceivedFrame& f)
{
    TestFrameReader r = f.reader();
    const quint8 kind = r.u8();
    const quint32 game = r.u32();
    const QByteArray rest = r.str();
    if (kind == 1) {
        add(QStringLiteral("tournaments %1%2").arg(game).arg(QString::fromLatin1(rest)));
        m_server.send(TestFrame(155).u32(0));
        return;
    }
    add(QStringLiteral("subscribe %1/%2").arg(game).arg(QString::fromLatin1(rest)));
    const QByteArray path = QByteArray::number(game) + '/' + rest;
    QList<Table> matching;
    for (const Table& t : m_tables) {
        if (t.path == path || t.path.startsWith(path + '/'))
            matching << t;
    }
    m_server.send(tableList(matching));
}

void SessionScenario::forceLogout()
{
    m_server.send(TestFrame(14).u32(0).str("bye"));
}

void SessionScenario::closeConnection()
{
    m_server.closeClient();
}

void SessionScenario::notifySeated(const Table& table, quint8 seat, qint32 tournamentId)
{
    TestFrame f(62);
    f.u32(table.id).u8(seat).u32(quint32(tournamentId));
    tableRecord(f, table);
    m_server.send(f);
}

void SessionScenario::notifyWatching(quint32 tableId)
{
    m_server.send(TestFrame(63).u32(tableId));
}

void SessionScenario::updateSeated(quint32 tableId, quint16 seated)
{
    m_server.send(TestFrame(144).u32(tableId).u16(seated).u32(0).u32(0));
}

void SessionScenario::systemMessage(const QByteArray& text)
{
    m_server.send(TestFrame(4).u32(0).u32(0).str(text).u32(0));
}
