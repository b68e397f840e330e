// The row the player chose in a list, kept by its id through the list's changes.
#include "ChosenRow.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

ChosenRow::ChosenRow(QAbstractItemView* view, int idRole, QObject* parent)
    : QObject(parent)
    , view(view)
    , idRole(idRole)
{
}

void ChosenRow::setModel(QAbstractItemModel* model)
{
    if (QAbstractItemModel* old = view->model())
        disconnect(old, nullptr, this, nullptr);
    choose(QModelIndex());
    // Connected before the view connects itself: a model calls its receivers
    // in the order they connected, so these run first. A view in single
    // selection selects the next row when its current one is removed; that
    // selection happens inside the removal and is undone once it is over.
    if (model) {
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { ++removing; });
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] {
            if (--removing <= 0) {
                removing = 0;
                settle();
            }
        });
        // A filter changed at once, a sort or a reset leave the row in place
        // or take it away without a word.
        connect(model, &QAbstractItemModel::layoutChanged, this, &ChosenRow::settle);
        connect(model, &QAbstractItemModel::modelReset, this, &ChosenRow::settle);
    }
    view->setModel(model);
    if (QItemSelectionModel* selection = view->selectionModel()) {
        connect(selection, &QItemSelectionModel::selectionChanged, this, &ChosenRow::onSelectionChanged);
        connect(selection, &QItemSelectionModel::currentChanged, this, &ChosenRow::onCurrentChanged);
    }
}

qint32 ChosenRow::id() const
{
    if (!row.isValid() || row.model() != view->model())
        return -1;
    const QVariant id = row.data(idRole);
    return id.isValid() && id.toInt() == rowId ? rowId : -1;
}

void ChosenRow::onSelectionChanged()
{
    if (removing > 0)
        return;
    const QItemSelectionModel* selection = view->selectionModel();
    const QModelIndexList selected = selection->selectedIndexes();
    if (selected.isEmpty()) {
        choose(QModelIndex());
        return;
    }
    // One row is selected at a time; should there be more, the current one counts.
    const QModelIndex current = selection->currentIndex();
    const bool currentSelected = current.isValid() && selection->isSelected(current);
    choose(currentSelected ? current : selected.first());
}

void ChosenRow::onCurrentChanged(const QModelIndex& current)
{
    // The keys reach a row without selecting it when they enter the list:
    // the row that shows as current is the one chosen, as a clicked one is.
    QItemSelectionModel* selection = view->selectionModel();
    if (removing == 0 && current.isValid() && view->hasFocus() && !selection->hasSelection())
        selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ChosenRow::settle()
{
    QItemSelectionModel* selection = view->selectionModel();
    if (!selection)
        return;
    if (id() != -1) {
        const QModelIndexList selected = selection->selectedIndexes();
        const bool alone = std::all_of(selected.cbegin(), selected.cend(), [this](const QModelIndex& index) {
            return index.row() == row.row() && index.parent() == row.parent();
        });
        if (selected.isEmpty() || !alone)
            selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    const bool had = rowId != -1;
    row = QPersistentModelIndex();
    rowId = -1;
    if (selection->hasSelection() || selection->currentIndex().isValid())
        selection->clear();
    if (had)
        Q_EMIT chosenChanged(-1);
}

void ChosenRow::choose(const QModelIndex& index)
{
    const qint32 before = id();
    const QVariant id = index.isValid() ? index.data(idRole) : QVariant();
    if (id.isValid()) {
        row = index.siblingAtColumn(0);
        rowId = id.toInt();
    } else {
        row = QPersistentModelIndex();
        rowId = -1;
    }
    if (rowId != before)
        Q_EMIT chosenChanged(rowId);
}
