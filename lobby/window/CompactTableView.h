#pragma once

#include <QPointer>
#include <QWidget>

#include <map>

class CompactTableItem;
class QAbstractItemModel;
class QModelIndex;
class QVBoxLayout;

/// A few lobby tables as a column of small cards, newest on top: one
/// CompactTableItem per row of a LobbyModel over the lobby TableModel. A
/// click selects a card, a double-click selects it and reports its table;
/// no card is current until the user picks one. Follows inserted, removed
/// and changed rows, and rebuilds on a reset.
class CompactTableView : public QWidget
{
    Q_OBJECT

public:
    explicit CompactTableView(QWidget* parent = nullptr);
    ~CompactTableView() override;

    /// Shows the rows of the model (a LobbyModel); null shows nothing.
    void setModel(QAbstractItemModel* model);
    /// The table of the current card, -1 when no card is current.
    qint32 currentTableId() const;
    /// The card of a table, or null.
    CompactTableItem* item(qint32 tableId) const;
    /// The table ids of the cards from top to bottom.
    QList<qint32> tableIdsTopDown() const;

Q_SIGNALS:
    /// A card was double-clicked.
    void tableDoubleClicked(qint32 table);
    /// The current card changed; -1 when no card is current.
    void currentTableChanged(qint32 table);

public Q_SLOTS:
    void onRowsInserted(const QModelIndex& parent, int start, int end);
    void onRowsAboutToBeRemoved(const QModelIndex& parent, int start, int end);
    void onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    /// The model was reset: the cards are built again from its rows.
    void onModelReset();
    void onTableClicked();
    void onTableDoubleClicked();

private:
    qint32 tableIdOfRow(int row) const;
    void addRow(int row);
    void removeRow(int row);
    void updateRow(int row);
    void clear();
    void addAllRows();
    void makeCurrent(CompactTableItem* card);
    /// Emits currentTableChanged when the current table is no longer `before`.
    void reportCurrent(qint32 before);

    QVBoxLayout* layout;
    QPointer<QAbstractItemModel> model;
    std::map<qint32, CompactTableItem*> items;
    CompactTableItem* current = nullptr;
};
