#include "CheckedItem.h"

#include "PictureFile.h"

CheckedItem::Images CheckedItem::Images::load()
{
    return {PictureFile::icon(QStringLiteral("resources:/checkbox-checked-normal.png")),
            PictureFile::icon(QStringLiteral("resources:/empty-box.png"))};
}

CheckedItem::CheckedItem(bool checked, const Images& images)
    : checked(checked)
    , checkedIcon(images.checked)
    , uncheckedIcon(images.unchecked)
{
    setSortKey(SortKey::number(0));
}

void CheckedItem::setChecked(bool value)
{
    if (checked == value)
        return;
    checked = value;
    emitDataChanged();
}

QVariant CheckedItem::data(int role) const
{
    // No text: the image is the cell. Views and testers expect a display
    // value that reads as text, so the display role answers an empty one.
    if (role == Qt::DisplayRole)
        return QString();
    if (role == Qt::DecorationRole)
        return checked ? checkedIcon : uncheckedIcon;
    if (role == RegisteredRole)
        return checked;
    return QStandardItem::data(role);
}
