#pragma once

#include <QDateTime>
#include <QMetaType>

/// A time-out the server set: when it was set and its deadline. The default
/// span holds two null date-times.
class TimeSpan
{
public:
    TimeSpan() = default;
    TimeSpan(const QDateTime& start, const QDateTime& end)
        : m_start(start)
        , m_end(end)
    {
    }
    /// A span of the given length starting at start.
    TimeSpan(const QDateTime& start, qint64 lengthMs)
        : m_start(start)
        , m_end(start.addMSecs(lengthMs))
    {
    }

    QDateTime start() const { return m_start; }
    QDateTime end() const { return m_end; }
    bool isNull() const { return m_start.isNull() && m_end.isNull(); }

    friend bool operator==(const TimeSpan& a, const TimeSpan& b) { return a.m_start == b.m_start && a.m_end == b.m_end; }
    friend bool operator!=(const TimeSpan& a, const TimeSpan& b) { return !(a == b); }

private:
    QDateTime m_start;
    QDateTime m_end;
};

Q_DECLARE_METATYPE(TimeSpan)
