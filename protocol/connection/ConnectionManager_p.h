#pragma once

// Private state of ConnectionManager; included only by its own .cpp files.

#include "Connection.h"
#include "ConnectionPrompts.h"
#include "TableInfo.h"
#include "TableInfoUpdates.h"
#include "message.h"
#include "message_reader.h"

#include <QElapsedTimer>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ConnectionManager;

/// A table list (snapshots or updates) being read, then announced; a long
/// one over several turns of the event loop. Every record is read and
/// checked before the first is announced; the frames behind the list wait
/// until its last record is announced.
struct TableListWork
{
    struct Update
    {
        qint32 tableId;
        int seated;
        TableInfoUpdates updates;
    };

    TableListWork(const message_reader& reader, std::uint32_t count, bool snapshots)
        : reader(reader)
        , unread(count)
        , snapshots(snapshots)
    {
    }

    /// Stands before the next record to read.
    message_reader reader;
    std::uint32_t unread;
    bool snapshots;
    std::vector<TableInfo> infos;
    std::vector<Update> updates;
    std::size_t announced = 0;
};

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
    /// The table list being read or announced, before every queued frame.
    std::optional<TableListWork> tableList;
    /// Started by the drain of a turn; the drain stops once it passes the slice.
    QElapsedTimer turn;
    /// A later turn will go on with the queue; frames received meanwhile only queue.
    bool drainPosted = false;
    /// The server closed while frames waited: disconnected() follows the last.
    bool disconnectWaiting = false;

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
