#include "table_request_handler.h"

#include <QDebug>
#include <QMutexLocker>

#include <chrono>

namespace {
// A request is refused while its predecessor is younger than this.
constexpr qint64 throttleMsecs = 3000;

qint64 steadyMsecs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}

table_request_handler::table_request_handler() = default;

qint64 table_request_handler::now() const
{
    return m_clock ? m_clock() : steadyMsecs();
}

void table_request_handler::setClock(Clock clock)
{
    QMutexLocker locker(&m_lock);
    m_clock = std::move(clock);
}

bool table_request_handler::checkTableRequest(int tableId, int classId)
{
    QMutexLocker locker(&m_lock);
    const auto key = std::make_pair(tableId, classId);
    const qint64 current = now();
    const auto it = m_requests.find(key);
    if (it != m_requests.end()) {
        const qint64 elapsed = current - it->second.since;
        if (elapsed < throttleMsecs) {
            qWarning() << "Request" << classId << "already issued for table" << tableId;
            return false;
        }
        qWarning() << elapsed / 1000 << "seconds since last request" << classId << "for table" << tableId;
        // The entry keeps its first time: until the answers remove it, every
        // further request for the pair passes as well.
        ++it->second.count;
        return true;
    }
    m_requests.emplace(key, Waiting{current, 1});
    return true;
}

bool table_request_handler::completeTableRequest(int tableId, int classId)
{
    QMutexLocker locker(&m_lock);
    const auto it = m_requests.find(std::make_pair(tableId, classId));
    if (it == m_requests.end()) {
        qWarning() << "non-existant table request, table" << tableId << "req:" << classId;
        return false;
    }
    if (--it->second.count == 0)
        m_requests.erase(it);
    return true;
}

bool table_request_handler::hasTableRequest(int tableId, int classId) const
{
    QMutexLocker locker(&m_lock);
    return m_requests.count(std::make_pair(tableId, classId)) != 0;
}

bool table_request_handler::isThrottled(int tableId, int classId) const
{
    QMutexLocker locker(&m_lock);
    const auto it = m_requests.find(std::make_pair(tableId, classId));
    return it != m_requests.end() && now() - it->second.since < throttleMsecs;
}

table_request_handler& table_requests()
{
    static table_request_handler registry;
    return registry;
}
