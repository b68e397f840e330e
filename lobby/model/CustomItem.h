#pragma once

#include "CustomItemBase.h"
#include "LobbyRoles.h"
#include "VariantLessThan.h"

#include <QString>
#include <QVariant>
#include <QModelRoleDataSpan>

#include <functional>

/// A non-editable cell that shows formatter(value) and publishes value at
/// TypedValueRole so that the sort proxies order by the value, not the text;
/// its sort key follows the value.
template<typename T>
class CustomItem : public CustomItemBase
{
public:
    using Formatter = std::function<QString(const T&)>;

    CustomItem(const T& value, Formatter formatter)
        : m_value(value)
        , m_formatter(std::move(formatter))
    {
        refreshSortKey();
    }

    const T& value() const { return m_value; }

    /// Replaces the value; with notify, the model hears of the change.
    void setValue(const T& value, bool notify = true)
    {
        if (!(value == m_value)) {
            m_value = value;
            refreshSortKey();
        }
        if (notify)
            emitDataChanged();
    }

    /// Makes the key anew (a key by a translated text, after a language change).
    void refreshSortKey() { setSortKey(sortKeyOf(m_value)); }

    /// An empty formatter throws std::bad_function_call on Qt::DisplayRole:
    /// a cell without a way to show its value is a programming error.
    QVariant data(int role = Qt::UserRole + 1) const override
    {
        if (role == TypedValueRole)
            return QVariant::fromValue(m_value);
        if (role == Qt::DisplayRole)
            return QVariant(m_formatter(m_value));
        return QStandardItem::data(role);
    }

    /// Views fetch several roles at once; each goes through data() above.
    void multiData(QModelRoleDataSpan roleDataSpan) const override
    {
        for (QModelRoleData& roleData : roleDataSpan)
            roleData.setData(data(roleData.role()));
    }

private:
    T m_value;
    Formatter m_formatter;
};
