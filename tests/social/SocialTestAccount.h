#pragma once

// One chat account of a live test: the XMPP client with the player
// directory, chat controller and room setup that the main window builds
// around it, logged in to the test Prosody server.

#include "ChatController.h"
#include "ChatRoomSetup.h"
#include "ClientTestUtil.h"
#include "ConnectionManager.h"
#include "PlayerDb.h"
#include "ProsodyFixture.h"
#include "XMPPClient.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

struct SocialTestAccount
{
    SocialTestAccount(qint32 pid, const QString& name)
        : pid(pid)
        , name(name)
        , connection(false)
        , playerDb(&connection, &client)
        , chat(&playerDb, &client)
        , setup(&chat)
    {
        connection.setPlayerName(pid, name);
        playerDb.setOwnPlayer(pid, name);
    }

    static QString password(qint32 pid) { return QStringLiteral("pw-%1").arg(pid); }

    static bool addAccounts(ProsodyFixture& server, std::initializer_list<qint32> pids)
    {
        for (qint32 pid : pids) {
            QString error;
            if (!server.addAccount(QString::number(pid), password(pid), &error)) {
                qWarning() << error;
                return false;
            }
        }
        return true;
    }

    /// Connects with the configuration (search service and room settings as given).
    bool login(ProsodyFixture& server, const ClientConfig& config = ClientConfig())
    {
        setup.setClientConfig(config);
        playerDb.setSearchJid(ChatRoomSetup::searchService(config, server.domain()));
        return clienttest::connectAndWait(client, server.host(), server.port(), server.domain(),
                                          playerDb.ownPidString(), password(pid), XMPPClient::TlsRequired);
    }

    XMPPJid jid() const { return XMPPJid(QStringLiteral("localhost"), QString::number(pid)); }

    qint32 pid;
    QString name;
    ConnectionManager connection;
    XMPPClient client;
    PlayerDb playerDb;
    ChatController chat;
    ChatRoomSetup setup;
};

/// `watcher` subscribes to the presence of `watched`, who accepts; true once
/// the watcher sees the watched account available (the server may answer
/// the request with an unavailable presence before the acceptance).
inline bool subscribe(SocialTestAccount& watcher, SocialTestAccount& watched)
{
    QObject context;
    QObject::connect(&watched.client, &XMPPClient::authorizationRequestReceived, &context,
                     [&](const XMPPJid& from) { watched.client.answerSubscription(from, 1); });
    QSignalSpy presences(&watcher.client, &XMPPClient::presence);
    watcher.client.sendSubscription(watched.jid(), false);
    const QString from = watched.jid().toString();
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (std::any_of(presences.cbegin(), presences.cend(), [&](const QList<QVariant>& args) {
                const XMPPPresence p = args.first().value<XMPPPresence>();
                return p.from().bare().toString() == from && p.availability() != 1;
            }))
            return true;
        presences.wait(100);
    }
    return false;
}
