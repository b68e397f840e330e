#pragma once

// Private state of ConnectionManager; included only by its own .cpp files.

#include "Connection.h"
#include "ConnectionPrompts.h"
#include "TableInfo.h"
#include "TableInfoUpdates.h"
#include "TournamentInfo.h"
#include "TournamentInfoUpdates.h"
#include "message.h"
#include "message_reader.h"
#include "platform_packets.h"

#include <QElapsedTimer>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ConnectionManager;

/// A list of records (table or tournament snapshots or updates) being read,
/// then announced; a long one over several turns of the event loop. Every
/// record is read before the first is announced; the frames behind the list
/// wait until its last record is announced. The frame goes once its records
/// are read, and each record once it is announced: a list of tens of
/// megabytes is not held twice.
struct RecordListWork
{
    enum class Kind { TableSnapshots, TableUpdates, TournamentSnapshots, TournamentUpdates };

    struct TableUpdate
    {
        qint32 tableId;
        int seated;
        TableInfoUpdates updates;
    };
    struct TournamentUpdate
    {
        qint32 tournamentId;
        TournamentInfoUpdates updates;
    };

    RecordListWork(const message_reader& reader, std::uint32_t count, Kind kind)
        : reader(reader)
        , unread(count)
        , kind(kind)
    {
    }

    bool isTournamentList() const { return kind == Kind::TournamentSnapshots || kind == Kind::TournamentUpdates; }

    /// Stands before the next record to read; none once all are read.
    std::optional<message_reader> reader;
    std::uint32_t unread;
    Kind kind;
    std::vector<TableInfo> tables;
    std::vector<TableUpdate> tableUpdates;
    std::vector<TournamentInfo> tournaments;
    std::vector<TournamentUpdate> tournamentUpdates;
    std::size_t announced = 0;
};

class ConnectionManagerPrivate
{
public:
    explicit ConnectionManagerPrivate(bool ssl)
        : connection(nullptr, platform_packets::frameLimit)
        , useSsl(ssl)
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
    /// The record list being read or announced, before every queued frame.
    std::optional<RecordListWork> recordList;
    /// Started by the first drain of a turn; the drains of that turn stop once
    /// it passes the slice, however many frames one read brought.
    QElapsedTimer turn;
    /// A turn's slice is being counted; cleared when control is back in the event loop.
    bool turnOpen = false;
    /// The server's close was read: what still waits is handled without writing.
    bool closeRead = false;
    /// The server ended the session (a forced logout): nothing more is sent,
    /// not even a logout, which the server could take for the account's new session.
    bool sessionEnded = false;
    /// A later turn will go on with the queue; frames received meanwhile only queue.
    bool drainPosted = false;
    /// The server closed while frames waited: disconnected() follows the last.
    bool disconnectWaiting = false;
    /// Started by every turn that leaves frames waiting: the stream is
    /// behind but moving.
    QElapsedTimer queueProgress;

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
