// A stand-alone test game server that plays a short scenario: the version
// handshake, a successful login for any user name and password, a small
// lobby of three tables, the clock, and a ping every 15 seconds. Every frame it
// receives is printed.
//
//   testgameserver [--port N] [--nossl] [--certdir DIR] [--session]
//                  [--scenario NAME] [--pace MS]
//
// With --session the server plays a whole session instead: the login, the
// requests that follow it (balance, configuration, pages, clock), a lobby of
// 30 tables and account registration.
// With --scenario the lobby holds one table per ruleset and the server plays
// a table for the user who joins one (see HandScenario.h): "hand" (claims,
// a kong, riichi or bonus tiles, a scored end, then a wash-out), "washout",
// "kick" or "tournament" (the user is seated at a tournament table after
// login). --pace spaces the server's own frames (default 700 ms). A session
// that ends at the table keeps the seat for the next login.

#include "HandScenario.h"
#include "LobbyScenario.h"
#include "SessionScenario.h"
#include "TestCertificates.h"
#include "TestGameServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void print(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Test game server with a short scenario");
    parser.addHelpOption();
    parser.addOption({"port", "Port to listen on (default 4124, or 4123 with --nossl).", "port"});
    parser.addOption({"nossl", "Plain TCP instead of TLS."});
    parser.addOption({"session", "Play a whole session with a lobby of 30 tables."});
    parser.addOption({"certdir", "Directory for the generated CA and server certificate.", "dir"});
    parser.addOption({"scenario", "Play a table: hand, washout, kick or tournament.", "name"});
    parser.addOption({"pace", "Milliseconds between the frames the server sends on its own (default 700).", "ms"});
    parser.process(app);

    const bool tls = !parser.isSet("nossl");
    const quint16 port = parser.isSet("port") ? quint16(parser.value("port").toUInt()) : (tls ? 4124 : 4123);

    QTemporaryDir tmp;
    QString certDir = parser.value("certdir");
    if (tls) {
        if (certDir.isEmpty())
            certDir = tmp.path();
        QString error;
        if (!TestCertificates::generate(certDir, &error)) {
            print(error);
            return 1;
        }
    }

    TestGameServer server;
    if (!server.listen(tls ? TestGameServer::Mode::Tls : TestGameServer::Mode::Plain, certDir, port)) {
        print(QString("cannot listen on 127.0.0.1:%1").arg(port));
        return 1;
    }
    print(QString("test game server on 127.0.0.1:%1 (%2)").arg(server.port()).arg(tls ? "TLS" : "plain"));
    if (tls) {
        print(QString("CA certificate: %1").arg(TestCertificates::caCertificatePath(certDir)));
        print(QString("start the client with: --searchpath %1 localhost:%2").arg(certDir).arg(server.port()));
    } else {
        print(QString("start the client with: --nossl localhost:%1").arg(server.port()));
    }

    QObject::connect(&server, &TestGameServer::clientConnected, [] { print("client connected"); });
    QObject::connect(&server, &TestGameServer::clientDisconnected, [] { print("client disconnected"); });
    QObject::connect(&server, &TestGameServer::frameReceived,
                     [](quint8 cls, const QByteArray& body) {
                         print(QString("<- class %1, %2 bytes: %3").arg(cls).arg(body.size()).arg(QString(body.toHex(' '))));
                     });

    std::unique_ptr<SessionScenario> session;
    std::unique_ptr<HandScenario> hand;
    if (parser.isSet("session")) {
        session = std::make_unique<SessionScenario>(server);
        QObject::connect(session.get(), &SessionScenario::requestLogged, [](const QString& line) { print("   " + line); });
    } else {
        LobbyScenario::install(server, print);
    }
    if (parser.isSet("scenario")) {
        HandScenario::Kind kind;
        if (!HandScenario::fromName(parser.value("scenario"), &kind)) {
            print(QString("unknown scenario: %1 (hand, washout, kick, tournament)").arg(parser.value("scenario")));
            return 1;
        }
        const int pace = parser.isSet("pace") ? parser.value("pace").toInt() : 700;
        hand = std::make_unique<HandScenario>(server, kind, pace);
        QObject::connect(hand.get(), &HandScenario::logged, [](const QString& line) { print("   " + line); });
        print(QString("scenario %1: join \"Classic hand\", \"International hand\" or \"Riichi hand\" in the lobby")
                  .arg(HandScenario::name(kind)));
    }

    QTimer ping;
    quint32 pingValue = 1;
    server.onRequest(7, [](const ReceivedFrame&) {}); // the answers to the pings
    QObject::connect(&ping, &QTimer::timeout, [&] {
        if (server.hasClient())
            server.send(TestFrame(7).u32(pingValue++));
    });
    ping.start(15000);

    return app.exec();
}
