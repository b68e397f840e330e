#include "CompactTableView.h"

#include "CompactTableItem.h"
#include "LobbyModel.h"

#include <QAbstractItemModel>
#include <QDebug>
#include <QVBoxLayout>

#include <stdexcept>

CompactTableView::CompactTableView(QWidget* parent)
    : QWidget(parent)
    , layout(new QVBoxLayout(this))
{
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(0);
}

CompactTableView::~CompactTableView() = default;

void CompactTableView::setModel(QAbstractItemModel* newModel)
{
    clear();
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = newModel;
    if (model == nullptr)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &CompactTableView::onRowsInserted);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &CompactTableView::onRowsAboutToBeRemoved);
    connect(model, &QAbstractItemModel::dataChanged, this, &CompactTableView::onDataChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &CompactTableView::onModelReset);
    // A sorted or re-filtered model moves rows without telling row by row.
    connect(model, &QAbstractItemModel::layoutChanged, this, &CompactTableView::onModelReset);
    addAllRows();
}

qint32 CompactTableView::currentTableId() const
{
    return current != nullptr ? current->tableId() : -1;
}

CompactTableItem* CompactTableView::item(qint32 tableId) const
{
    const auto it = items.find(tableId);
    return it != items.end() ? it->second : nullptr;
}

QList<qint32> CompactTableView::tableIdsTopDown() const
{
    QList<qint32> ids;
    for (int i = 0; i < layout->count(); ++i) {
        if (auto* card = qobject_cast<CompactTableItem*>(layout->itemAt(i)->widget()))
            ids << card->tableId();
    }
    return ids;
}

qint32 CompactTableView::tableIdOfRow(int row) const
{
    const QVariant id = model->data(model->index(row, 0, QModelIndex()), Qt::UserRole);
    return id.isValid() ? id.toInt() : -1;
}

void CompactTableView::addAllRows()
{
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row)
        addRow(row);
}

void CompactTableView::addRow(int row)
{
    const qint32 id = tableIdOfRow(row);
    if (id == -1 || items.count(id) != 0)
        return; // one card per table: a second row of the same table changes nothing
    auto* card = new CompactTableItem(id, this);
    connect(card, &CompactTableItem::clicked, this, &CompactTableView::onTableClicked);
    connect(card, &CompactTableItem::doubleClicked, this, &CompactTableView::onTableDoubleClicked);
    // No card becomes current by itself: what acts on the current card
    // (Join, Watch) must act on the one the player chose.
    items[id] = card;
    layout->insertWidget(0, card);
    updateRow(row);
}

void CompactTableView::updateRow(int row)
{
    const qint32 id = tableIdOfRow(row);
    CompactTableItem* card = item(id);
    if (card == nullptr)
        return;
    auto* lobby = qobject_cast<LobbyModel*>(model.data());
    if (lobby == nullptr)
        return;
    try {
        card->setTableInfo(lobby->tableInfo(id));
    } catch (const std::exception& e) {
        // A row the table model no longer holds keeps what the card showed.
        qWarning() << "compact table view:" << e.what();
    }
}

void CompactTableView::removeRow(int row)
{
    const qint32 id = tableIdOfRow(row);
    const auto it = items.find(id);
    if (it == items.end())
        return;
    CompactTableItem* card = it->second;
    const bool wasCurrent = card == current;
    if (wasCurrent) {
        card->setSelected(false);
        current = nullptr;
    }
    items.erase(it);
    delete card;
    if (wasCurrent)
        reportCurrent(id);
}

void CompactTableView::clear()
{
    const qint32 before = currentTableId();
    for (auto& [id, card] : items)
        delete card;
    items.clear();
    current = nullptr;
    reportCurrent(before);
}

void CompactTableView::reportCurrent(qint32 before)
{
    if (currentTableId() != before)
        Q_EMIT currentTableChanged(currentTableId());
}

void CompactTableView::onRowsInserted(const QModelIndex&, int start, int end)
{
    for (int row = start; row <= end; ++row)
        addRow(row);
}

void CompactTableView::onRowsAboutToBeRemoved(const QModelIndex&, int start, int end)
{
    for (int row = start; row <= end; ++row)
        removeRow(row);
}

void CompactTableView::onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        updateRow(row);
}

void CompactTableView::onModelReset()
{
    const qint32 wasCurrent = currentTableId();
    clear();
    if (model == nullptr)
        return;
    addAllRows();
    // The user's choice survives a reset when its table is still there.
    if (CompactTableItem* card = item(wasCurrent))
        makeCurrent(card);
}

void CompactTableView::makeCurrent(CompactTableItem* card)
{
    if (card == current)
        return;
    const qint32 before = currentTableId();
    if (current != nullptr)
        current->setSelected(false);
    current = card;
    card->setSelected(true);
    reportCurrent(before);
}

void CompactTableView::onTableClicked()
{
    if (auto* card = qobject_cast<CompactTableItem*>(sender()))
        makeCurrent(card);
}

void CompactTableView::onTableDoubleClicked()
{
    auto* card = qobject_cast<CompactTableItem*>(sender());
    if (card == nullptr)
        return;
    makeCurrent(card);
    Q_EMIT tableDoubleClicked(card->tableId());
}
