#pragma once

class QAbstractItemModel;
class QModelIndex;
class QString;

/// Describes one slice of the lobby: the lobby paths it needs subscribed and
/// which rows belong to it.
class LobbyFilter
{
public:
    virtual ~LobbyFilter() = default;

    /// The number of lobby paths the filter needs.
    virtual int pathCount() const = 0;
    /// The i-th path.
    virtual const QString& path(int i) const = 0;
    /// Whether the row of index (column 0 of a source row) belongs to the slice.
    virtual bool accepts(const QAbstractItemModel* model, const QModelIndex& index) const = 0;
};
