#pragma once

#include <QObject>
#include <QPersistentModelIndex>

class QAbstractItemModel;
class QAbstractItemView;

/// The row of a list that the player chose, held by the id it had when it
/// was chosen. The row keeps the choice while others come, go or move
/// around it; once it is gone (removed, or left out by a filter) nothing is
/// chosen and nothing is selected: another row is never chosen for the
/// player. Whatever selects a row, the mouse or the keys, chooses it; so
/// does the keys' entering the list, which makes a row current unselected.
class ChosenRow : public QObject
{
    Q_OBJECT

public:
    /// Follows the selection of `view`; every cell of a row carries the row's
    /// id at `idRole`.
    ChosenRow(QAbstractItemView* view, int idRole, QObject* parent = nullptr);

    /// Gives the view its model. The view must get its model here only: the
    /// chooser has to hear of a removal before the view, which moves the
    /// selection to a neighbour of a removed current row.
    void setModel(QAbstractItemModel* model);

    /// The id of the chosen row; -1 when none is chosen or the row has gone.
    qint32 id() const;

Q_SIGNALS:
    /// The player chose another row (its id), or the chosen one went or was
    /// given up (-1).
    void chosenChanged(qint32 id);

private:
    void onSelectionChanged();
    void onCurrentChanged(const QModelIndex& current);
    /// After rows went: the selection shows the chosen row again, or nothing
    /// when it has gone.
    void settle();
    void choose(const QModelIndex& index);

    QAbstractItemView* view;
    int idRole;
    QPersistentModelIndex row;
    qint32 rowId = -1;
    /// Removals under way: what the selection does meanwhile is not the player's.
    int removing = 0;
};
