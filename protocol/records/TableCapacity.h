#pragma once

#include <QMetaType>
#include <QtGlobal>

/// The seats of a lobby table: how many there are, how many are taken and how
/// many of the seated players are computer players.
class TableCapacity
{
public:
    TableCapacity() = default;
    TableCapacity(qint32 capacity, qint32 seated, qint32 bots)
        : m_capacity(capacity)
        , m_seated(seated)
        , m_bots(bots)
    {
    }

    qint32 capacity() const { return m_capacity; }
    void setCapacity(qint32 capacity) { m_capacity = capacity; }
    qint32 seated() const { return m_seated; }
    void setSeated(qint32 seated) { m_seated = seated; }
    qint32 bots() const { return m_bots; }
    void setBots(qint32 bots) { m_bots = bots; }

    /// True when every seat is taken.
    bool isFull() const { return m_seated == m_capacity; }

    friend bool operator==(const TableCapacity&, const TableCapacity&) = default;

private:
    qint32 m_capacity = 0;
    qint32 m_seated = 0;
    qint32 m_bots = 0;
};

Q_DECLARE_METATYPE(TableCapacity)
