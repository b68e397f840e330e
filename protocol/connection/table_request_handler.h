#pragma once

#include <QMutex>

#include <functional>
#include <map>
#include <utility>

/// The per-table request throttle: a join, watch, unwatch or leave request is
/// refused locally while an unanswered request of the same class for the same
/// table was let through less than 3 seconds before. Each answer takes one of
/// the requests sent; the last one removes the entry, and an answer with no
/// request left is one the client never asked for. Times come from a
/// monotonic clock, so a change of the wall clock (midnight, daylight saving,
/// the user setting the time) never blocks or frees a request.
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
    /// An answer arrived: one request of the class for the table is answered.
    /// False (with a warning) when none was waiting for it.
    bool completeTableRequest(int tableId, int classId);

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
    struct Waiting
    {
        /// When the first of them was let through.
        qint64 since = 0;
        /// How many were sent and not answered yet.
        int count = 0;
    };
    std::map<std::pair<int, int>, Waiting> m_requests;
    Clock m_clock;
};

/// The process-wide throttle of table requests.
table_request_handler& table_requests();
