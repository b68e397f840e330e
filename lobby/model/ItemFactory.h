#pragma once

#include "CustomItem.h"
#include "TextItem.h"

#include <QString>

#include <QDateTime>
class QStandardItem;

/// Makers of the lobby's non-editable cells. Every item returned is new and
/// owned by the caller until it is placed in a model.

/// A text cell, sorted by its text's collation key.
TextItem* makeItem(const QString& text, const QString& toolTip, Qt::Alignment alignment);
/// The int in Qt::DisplayRole, shown and sorted as a number.
QStandardItem* makeItem(int value, const QString& toolTip, Qt::Alignment alignment);
/// The double in Qt::DisplayRole, right aligned.
QStandardItem* makeItem(double value, const QString& toolTip);
CustomItem<int>* makeItem(int value, const QString& toolTip, CustomItem<int>::Formatter formatter);
CustomItem<QDateTime>* makeItem(const QDateTime& value, const QString& toolTip,
                                CustomItem<QDateTime>::Formatter formatter);

/// A typed cell with the value, its formatter and the tooltip, left aligned.
template<typename T>
CustomItem<T>* makeCustomItem(const T& value, const QString& toolTip,
                              typename CustomItem<T>::Formatter formatter)
{
    auto* item = new CustomItem<T>(value, std::move(formatter));
    item->setEditable(false);
    item->setTextAlignment(Qt::AlignLeft);
    item->setToolTip(toolTip);
    return item;
}
