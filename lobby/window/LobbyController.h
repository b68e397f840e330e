#pragma once

#include "TableInfo.h"
#include "TableInfoUpdates.h"

#include <QElapsedTimer>
#include <QObject>
#include <QQueue>

#include <optional>

class ConnectionManager;
class LobbyWindow;
class TableModel;

/// The lobby's long-lived owner: it keeps the one TableModel, feeds it with
/// the connection manager's table events and builds lobby windows on it.
class LobbyController : public QObject
{
    Q_OBJECT

public:
    /// How long the table events of one turn of the event loop may take. A
    /// burst beyond it waits, in order, for the following turns, so that
    /// the windows keep answering while it is applied.
    static constexpr qint64 sliceMsecs = 30;

    /// Creates the table model (a child of the controller) and connects the
    /// connection manager's snapshots, updates and removals to it.
    LobbyController(ConnectionManager* connection, QObject* parent);
    ~LobbyController() override;

    /// The table model; lives as long as the controller.
    TableModel* tableModel() const { return model; }
    /// A new lobby window on the table model, without a parent: the caller
    /// owns it and must destroy it before the controller.
    LobbyWindow* createLobbyWindow();
    /// How many table events wait for a later turn.
    qsizetype waitingEvents() const { return waiting.size(); }

private:
    /// One table event from the server.
    struct TableEvent
    {
        enum Kind { Record, Update, Removal } kind;
        /// Only for a record: an empty TableInfo costs a translated text.
        std::optional<TableInfo> record;
        qint32 tableId = 0;
        int seated = 0;
        TableInfoUpdates updates;
    };

    void take(TableEvent&& event);
    void apply(const TableEvent& event);
    void nextSlice();

    ConnectionManager* connection;
    TableModel* model;
    QQueue<TableEvent> waiting;
    /// Started by the first event of a turn; a new turn is marked by a
    /// queued call of nextSlice().
    QElapsedTimer slice;
    bool sliceOpen = false;
};
