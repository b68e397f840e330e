#include "ItemFactory.h"

#include "TextItem.h"

#include <QDateTime>
#include <QStandardItem>

namespace {
template<typename Item = QStandardItem>
Item* plainItem(const QVariant& display, const QString& toolTip, Qt::Alignment alignment)
{
    auto* item = new Item;
    item->setData(display, Qt::DisplayRole);
    item->setEditable(false);
    item->setTextAlignment(alignment);
    item->setToolTip(toolTip);
    return item;
}
}

TextItem* makeItem(const QString& text, const QString& toolTip, Qt::Alignment alignment)
{
    return plainItem<TextItem>(text, toolTip, alignment);
}

QStandardItem* makeItem(int value, const QString& toolTip, Qt::Alignment alignment)
{
    return plainItem(value, toolTip, alignment);
}

QStandardItem* makeItem(double value, const QString& toolTip)
{
    return plainItem(value, toolTip, Qt::AlignRight);
}

CustomItem<int>* makeItem(int value, const QString& toolTip, CustomItem<int>::Formatter formatter)
{
    return makeCustomItem<int>(value, toolTip, std::move(formatter));
}

CustomItem<QDateTime>* makeItem(const QDateTime& value, const QString& toolTip,
                                CustomItem<QDateTime>::Formatter formatter)
{
    return makeCustomItem<QDateTime>(value, toolTip, std::move(formatter));
}
