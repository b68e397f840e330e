#pragma once

#include "TableInfoUpdates.h"

#include <QMap>
#include <QStandardItemModel>

#include <memory>

class ConnectionManager;
struct TableInfo;

/// The process-wide list of lobby tables under the subscribed lobby paths, one
/// row of six typed cells per table, kept current row by row from the
/// server's snapshots, updates and removals. Records are held at once; a
/// turn of the event loop makes or refreshes at most 100 rows, and what
/// comes past them waits, in arrival order, for the next turns, which take
/// it up for 20 ms each: a list of many thousands costs the turn that reads
/// it only its records. It also holds the
/// reference-counted lobby subscriptions: the first asker of a path sends the
/// subscribe request, the last release sends the unsubscribe.
class TableModel : public QStandardItemModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, RulesColumn, PlayersColumn, TimeLimitColumn, BuyInColumn, MaxWinColumn, ColumnCount };

    explicit TableModel(ConnectionManager* connection, QObject* parent = nullptr);
    ~TableModel() override;

    /// Takes one reference on a lobby path such as "101/Regular". A path is
    /// covered by a subscription of itself or of a path above it
    /// ("101/mtt/1" covers "101/mtt/1/x", never "101/mtt/12").
    void subscribe(const QString& path);
    /// Releases one reference; the last one unsubscribes and drops the rows
    /// under the subscribed path.
    void unsubscribe(const QString& path);
    /// Whether a subscription covers the path.
    bool isPathSubscribed(const QString& path) const;
    /// The subscribed paths with their reference counts.
    QMap<QString, int> subscriptions() const;

    bool hasTableInfo(qint32 tableId) const;
    /// Throws std::runtime_error "info for table <id> unavailable" for an id not held.
    const TableInfo& tableInfo(qint32 tableId) const;
    /// False for an id not held.
    bool isTableFull(qint32 tableId) const;
    bool hasMoneraryTables() const;
    /// The row of a table id, or -1 (also while its record waits for its row).
    int rowOfTable(qint32 tableId) const;

    /// Sets the header labels anew and tells the views that every cell changed (language change).
    void retranslate();

    /// Every cell's tool tip is its table's, made from the record when asked.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

public Q_SLOTS:
    /// A full table record: adds or replaces the row when a subscription covers its path.
    void addOrUpdateTable(const TableInfo& info);
    /// A seated count and key changes for a held table; a change that cannot
    /// be applied leaves the record as it was.
    void updateTableInfo(qint32 tableId, int seated, const TableInfoUpdates& updates);
    /// The server removed a table: its record goes at once; its row goes
    /// with the rows of the other tables removed in the same burst, in one
    /// pass, once the server's removals pause for 50 ms (a second after the
    /// first at the latest), or before an unsubscribe; a table of the same id
    /// listed again meanwhile takes the row back, as a change of its cells.
    void onTableRemoved(qint32 tableId);

Q_SIGNALS:
    /// Emitted with true when the first money table arrives and with false
    /// when the last one goes.
    void hasMoneraryTablesChanged(bool newValue);

private:
    struct Private;
    const std::unique_ptr<Private> d;
};
