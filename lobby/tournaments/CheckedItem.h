#pragma once

#include "CustomItemBase.h"

#include <QIcon>

/// The registration cell of a tournament row: a check-box image, checked when
/// the user is registered. The image is the decoration, the text is empty;
/// RegisteredRole carries the mark as a bool for the sort proxy. The column
/// has no order of its own: every cell's sort key is the same.
class CheckedItem : public CustomItemBase
{
public:
    static constexpr int Type = CustomItemBase::Type + 1;

    /// The role that answers the mark as a bool.
    static constexpr int RegisteredRole = Qt::UserRole + 2;

    /// The two images of the cell. Loading them reads their files: a model
    /// of many rows loads them once and hands them to every cell.
    struct Images
    {
        QIcon checked;
        QIcon unchecked;
        static Images load();
    };

    CheckedItem(bool checked, const Images& images);

    bool isChecked() const { return checked; }
    /// Changes the mark; the model hears of it only when it differs.
    void setChecked(bool value);

    QVariant data(int role = Qt::UserRole + 1) const override;
    int type() const override { return Type; }

private:
    bool checked;
    QIcon checkedIcon;
    QIcon uncheckedIcon;
};
