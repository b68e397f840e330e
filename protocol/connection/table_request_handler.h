#pragma once

#include <QMutex>

#include <functional>
#include <map>
#include <utility>

/// The per-table request throttle: a join, watch, unwatch or leave request is
/// refused locally while an unanswered request of the same class for the same
/// table was let through less than 3 seconds before. The answer removes the
/// entry. Times come from a monotonic clock, so a change of the wall clock
/// (midnight, daylight saving, the user setting the time) never blocks or
/// frees a request.
class table_request_handler
{
public:
    /// Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;

    table_request_handler();

    table_request_handler(const table_request_handler&) = delete;
    table_request_handler& operator=(const table_request_handler&) = delete;

    /// True when the request may be sent (and records it), false when an
    /// unanswered one of the same class for the table is under 3 seconds old.
    bool checkTableRequest(int tableId, int classId);
    /// The answer arrived: forget the request. Warns when none was recorded.
    void completeTableRequest(int tableId, int classId);

    /// True when a request of the class for the table is recorded.
    bool hasTableRequest(int tableId, int classId) const;
    /// True when checkTableRequest would refuse a request now: one is
    /// recorded and under 3 seconds old.
    bool isThrottled(int tableId, int classId) const;

    /// Replaces the clock (tests); an empty function restores the steady clock.
    void setClock(Clock clock);

private:
    qint64 now() const;

    mutable QMutex m_lock;
    std::map<std::pair<int, int>, qint64> m_requests;
    Clock m_clock;
};

/// The process-wide throttle of table requests.
table_request_handler& table_requests();
