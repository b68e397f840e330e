// Measures the client against the Prosody fixture, each figure beside the
// same measurement made with a bare socket client in the same run:
//  - connect to bound session, median of 20 (the library without and with
//    TLS, the bare client without);
//  - one groupchat line from one occupant to another through a room, 1,000
//    times, per line (library pair against bare pair);
//  - a scripted server silent at each step of the negotiation (beside the
//    deadline), and one that never reads (beside one that reads).
// Prints figures; never fails on timing.
#include "ClientTestUtil.h"
#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "ScriptedXmppPeer.h"
#include "XMPPClient.h"
#include "XMPPConference.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Logins = 20;
constexpr int Lines = 1000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / double(v.size());
}

/// Runs the event loop until the condition holds or ms pass.
template<typename Condition>
bool spin(Condition done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double libraryLogin(ProsodyFixture& s, int policy)
{
    XMPPClient client;
    bool up = false;
    QObject::connect(&client, &XMPPClient::connected, [&] { up = true; });
    QElapsedTimer clock;
    clock.start();
    client.setDomain(s.domain());
    client.setCredentials(QStringLiteral("4001"), QStringLiteral("pw"));
    client.connectToHost(s.host(), s.port(), policy);
    if (!spin([&] { return up; }, 10000))
        return -1;
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    client.disconnectFromHost();
    spin([&] { return client.state() == XMPPClient::UnconnectedState; }, 3000);
    return ms;
}

/// Milliseconds to the client's error when a scripted server answers `steps`
/// steps of the negotiation and then nothing.
double silentAt(int steps, int deadlineMs)
{
    const QByteArray plain = "<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism></mechanisms>";
    ScriptedXmppPeer peer;
    peer.listen();
    peer.expect(QStringLiteral("<stream")).send(ScriptedXmppPeer::header() + (steps ? ScriptedXmppPeer::features(plain) : ""));
    if (steps > 1)
        peer.expect(QStringLiteral("</auth>")).send("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    XMPPClient client;
    client.setAnswerTimeout(deadlineMs);
    QSignalSpy failed(&client, &XMPPClient::xmppError);
    QElapsedTimer clock;
    clock.start();
    client.connectToHost(QStringLiteral("127.0.0.1"), peer.port(), XMPPClient::TlsNever);
    return failed.wait(3 * deadlineMs) ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

/// Memory grown (KB, server and client together) while a scripted server
/// sends up to 300,000 requests answered with errors, reading the answers or
/// not, and whether the client ended the stream.
std::pair<qint64, bool> flooded(bool reading)
{
    const auto residentKb = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        return QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
    };
    ScriptedXmppPeer peer;
    peer.listen();
    XMPPClient client;
    clienttest::connectToPeer(client, peer.playPlainLogin().port());
    QSignalSpy ended(&client, &XMPPClient::disconnected);
    if (!reading)
        peer.stopReading();
    const qint64 before = residentKb();
    qint64 peak = before;
    for (int i = 0; i < 300 && ended.isEmpty(); ++i, peak = std::max(peak, residentKb())) {
        peer.sendNow(QByteArray("<iq type='get' id='q' from='a@localhost/x'><query xmlns='jabber:iq:version'/></iq>").repeated(1000));
        QTest::qWait(10);
    }
    return {peak - before, !ended.isEmpty() || ended.wait(2000)};
}

double rawLogin(ProsodyFixture& s)
{
    RawXmppClient raw;
    QElapsedTimer clock;
    clock.start();
    if (!raw.login(s.host(), s.port(), s.domain(), QStringLiteral("4001"), QStringLiteral("pw")))
        return -1;
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    raw.disconnectFromServer();
    return ms;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
    ProsodyFixture server;
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "prosody: %s\n", qPrintable(error));
        return 1;
    }
    for (const char* user : {"4001", "4002", "4003", "4004"})
        server.addAccount(QLatin1String(user), QStringLiteral("pw"), &error);
    clienttest::trustCa(server.caCertificatePath());

    // --- connect to bound session ---
    std::vector<double> raw, plain, tls;
    for (int i = 0; i < Logins; ++i) {
        raw.push_back(rawLogin(server));
        plain.push_back(libraryLogin(server, XMPPClient::TlsNever));
        tls.push_back(libraryLogin(server, XMPPClient::TlsRequired));
    }
    const double rawMs = median(raw);
    std::printf("connect to session, median of %d:\n", Logins);
    std::printf("  bare socket client, no TLS   %8.2f ms  (floor)\n", rawMs);
    std::printf("  library, no TLS              %8.2f ms  ratio %.2f\n", median(plain), median(plain) / rawMs);
    std::printf("  library, STARTTLS            %8.2f ms  ratio %.2f\n", median(tls), median(tls) / rawMs);

    // --- groupchat round trip, library pair ---
    const QString libRoom = QStringLiteral("benchlib@") + server.mucService();
    XMPPClient sender, receiver;
    clienttest::connectAndWait(sender, server.host(), server.port(), server.domain(), QStringLiteral("4001"),
                               QStringLiteral("pw"), XMPPClient::TlsNever);
    clienttest::connectAndWait(receiver, server.host(), server.port(), server.domain(), QStringLiteral("4002"),
                               QStringLiteral("pw"), XMPPClient::TlsNever);
    XMPPConference from, to;
    from.setClient(&sender);
    to.setClient(&receiver);
    from.setRoomJid(XMPPJid(libRoom));
    to.setRoomJid(XMPPJid(libRoom));
    from.join(QStringLiteral("s"));
    spin([&] { return from.isJoined(); }, 5000);
    to.join(QStringLiteral("r"));
    spin([&] { return to.isJoined(); }, 5000);
    int received = 0;
    QObject::connect(&to, &XMPPConference::message, [&](const XMPPMessage&) { ++received; });
    std::vector<double> libLines;
    for (int i = 0; i < Lines; ++i) {
        QElapsedTimer clock;
        clock.start();
        from.sendMessage(QStringLiteral("line %1").arg(i));
        if (!spin([&] { return received > i; }, 5000))
            break;
        libLines.push_back(double(clock.nsecsElapsed()) / 1e3);
    }

    // --- the same with two bare clients ---
    const QByteArray rawRoom = "benchraw@" + server.mucService().toUtf8();
    RawXmppClient rawSender, rawReceiver;
    rawSender.login(server.host(), server.port(), server.domain(), QStringLiteral("4003"), QStringLiteral("pw"));
    rawReceiver.login(server.host(), server.port(), server.domain(), QStringLiteral("4004"), QStringLiteral("pw"));
    rawSender.send("<presence to='" + rawRoom + "/s'><x xmlns='http://jabber.org/protocol/muc'/></presence>");
    rawSender.waitFor(QStringLiteral("status code=['\"]110"));
    rawReceiver.send("<presence to='" + rawRoom + "/r'><x xmlns='http://jabber.org/protocol/muc'/></presence>");
    rawReceiver.waitFor(QStringLiteral("status code=['\"]110"));
    rawReceiver.discardPending();
    std::vector<double> rawLines;
    for (int i = 0; i < Lines; ++i) {
        QElapsedTimer clock;
        clock.start();
        rawSender.send("<message type='groupchat' to='" + rawRoom + "'><body>line " + QByteArray::number(i)
                       + "</body></message>");
        if (!rawReceiver.waitFor(QStringLiteral("<body>line %1</body>.*?</message>").arg(i), 5000))
            break;
        rawLines.push_back(double(clock.nsecsElapsed()) / 1e3);
        rawSender.discardPending();
    }

    const double libUs = median(libLines), rawUs = median(rawLines);
    std::printf("groupchat line through a room, %zu / %zu lines, per line:\n", libLines.size(), rawLines.size());
    std::printf("  bare socket clients   median %8.1f us  mean %8.1f us  (floor)\n", rawUs, mean(rawLines));
    std::printf("  library clients       median %8.1f us  mean %8.1f us  ratio %.2f\n", libUs, mean(libLines),
                libUs / rawUs);
    std::printf("  added by the library  median %8.1f us per line (goal: under 1000 us)\n", libUs - rawUs);
    rawSender.disconnectFromServer();
    rawReceiver.disconnectFromServer();

    // --- a server that owes an answer and gives none, or reads nothing ---
    constexpr int DeadlineMs = 1000; // the product's: XMPPClient::AnswerTimeoutMs
    std::printf("silent server, chat offline after (deadline %d ms, the library's login above %.2f ms):\n", DeadlineMs, median(plain));
    for (const int step : {0, 1, 2}) {
        const double ms = silentAt(step, DeadlineMs);
        std::printf("  after %d answers  %8.1f ms  ratio to the deadline %.2f\n", step, ms, ms / DeadlineMs);
    }
    const auto [readKb, readEnded] = flooded(true);
    const auto [unreadKb, unreadEnded] = flooded(false);
    std::printf("300,000 requests answered with errors, memory grown:\n  server that reads (and keeps what it reads)  +%6lld KB, stream %s (floor)\n"
                "  server that never reads                      +%6lld KB, stream %s, ratio %.2f\n", readKb, readEnded ? "ended" : "kept",
                unreadKb, unreadEnded ? "ended" : "kept", double(unreadKb) / double(std::max<qint64>(readKb, 1)));
    return 0;
}
