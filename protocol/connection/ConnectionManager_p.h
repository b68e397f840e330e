#pragma once

// Private state of ConnectionManager; included only by its own .cpp files.

#include "Connection.h"
#include "ConnectionPrompts.h"
#include "message.h"

#include <QString>

#include <deque>
#include <map>
#include <memory>

class ConnectionManager;

class ConnectionManagerPrivate
{
public:
    explicit ConnectionManagerPrivate(bool ssl)
        : useSsl(ssl)
    {
    }

    ConnectionPrompts& ui() { return prompts ? *prompts : headlessPrompts; }

    /// Received frames waiting to be handled, oldest first.
    std::deque<message_ptr> queue;
    Connection connection;
    /// Player-name cache: id to display name.
    std::map<qint32, QString> playerNames;
    QString host;
    quint16 port = 0;
    /// Set once disconnected() was emitted, once quitting began, or by setDisconnectHandled.
    bool disconnectHandled = false;
    qint32 ownPlayerId = -1;
    bool loggedIn = false;
    const bool useSsl;
    /// True while the queue is being drained.
    bool dispatching = false;

    ConnectionPrompts* prompts = nullptr;
    HeadlessConnectionPrompts headlessPrompts;

    // ---------------------------------------------------------------------
    // Request and dispatch state
    // ---------------------------------------------------------------------

    // ---------------------------------------------------------------------
    // Game and service state
    // ---------------------------------------------------------------------

    /// The last account balance the server sent, in cents.
    qint64 accountBalance = 0;
};
