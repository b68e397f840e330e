#pragma once

#include "CustomItemBase.h"

/// A plain text cell whose sort key follows its text (Qt::DisplayRole).
class TextItem : public CustomItemBase
{
public:
    using CustomItemBase::CustomItemBase;

    void setData(const QVariant& value, int role = Qt::UserRole + 1) override;
    /// Makes the key anew, for a new default locale (a language change).
    void refreshSortKey();
};
