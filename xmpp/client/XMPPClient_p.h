#pragma once

// Internals of XMPPClient, shared by its source files.

#include "ClientRoster.h"
#include "ClientSearch.h"
#include "ClientVCard.h"
#include "StreamParser.h"
#include "StreamWriter.h"
#include "XMPPClient.h"

#include <QByteArray>
#include <QSet>
#include <QSslSocket>
#include <QString>

#include <map>
#include <memory>

class XMPPClientPrivate
{
public:
    explicit XMPPClientPrivate(XMPPClient* q);

    QString user;
    QString password;
    /// New credentials given while an authentication was outstanding.
    bool credentialsPending = false;
    /// A retryable refusal is waiting for new credentials.
    bool awaitingRetry = false;
    QString resource;
    QString ownJid;
    QString host;
    QString domain;
    quint16 port = 0;
    int tlsPolicy = XMPPClient::TlsRequired;
    QSslSocket socket;
    std::unique_ptr<xmpp::StreamWriter> writer;
    xmpp::StreamParser parser;
    int state = XMPPClient::UnconnectedState;
    int idCounter = 0;
    std::map<QString, XMPPClient::IqHandler> pending;
    bool sessionOffered = false;
    /// The id of the session request, once written.
    QString sessionId;
    /// The entities the running room service discovery has asked for
    /// their disco#info.
    QSet<QString> discoAsked;

    xmpp::ClientVCard vCard;
    xmpp::ClientRoster roster;
    xmpp::ClientSearch search;

    int availability = 2;
    QString status;
    QSet<QString> tablePaths;
    QByteArray photoHash;

    /// The domain the stream is opened for.
    QString streamDomain() const { return domain.isEmpty() ? host : domain; }
    /// Calls every handler with no reply, in id order, and forgets them.
    void failPending();
};
