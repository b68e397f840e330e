#include "request_handler.h"

#include <QMutexLocker>

#include <iostream>
#include <stdexcept>
#include <string>

request_handler::request_handler(const char* name)
    : m_name(name)
{
}

request_handler::~request_handler()
{
    if (m_outstanding.empty())
        return;
    std::cout << "request_handler(\"" << m_name << "\")" << " contains " << m_outstanding.size()
              << " unconsumed requests" << std::endl;
    for (const auto& [seq, classId] : m_outstanding)
        std::cout << "   request vrex class_id: " << classId << std::endl;
}

int request_handler::registerRequest(int classId)
{
    QMutexLocker locker(&m_lock);
    const int seq = ++m_lastSeq;
    m_outstanding[seq] = classId;
    return seq;
}

void request_handler::addOutstandingRequest(int classId, int seq)
{
    QMutexLocker locker(&m_lock);
    if (m_outstanding.count(seq) != 0) {
        throw std::runtime_error("outstanding request with seq " + std::to_string(seq) + " already present (\""
                                 + m_name + "\")");
    }
    m_outstanding[seq] = classId;
}

int request_handler::takeOutstandingRequest(int seq)
{
    QMutexLocker locker(&m_lock);
    const auto it = m_outstanding.find(seq);
    if (it == m_outstanding.end())
        throw std::runtime_error("non-existant request with seq " + std::to_string(seq) + " (\"" + m_name + "\")");
    const int classId = it->second;
    m_outstanding.erase(it);
    return classId;
}

int request_handler::outstandingCount() const
{
    QMutexLocker locker(&m_lock);
    return static_cast<int>(m_outstanding.size());
}

bool request_handler::isOutstanding(int seq) const
{
    QMutexLocker locker(&m_lock);
    return m_outstanding.count(seq) != 0;
}

request_handler& service_requests()
{
    static request_handler registry("service_requests");
    return registry;
}

request_handler& local_service_requests()
{
    static request_handler registry("local_service_requests");
    return registry;
}

request_handler& filter_join_requests()
{
    static request_handler registry("filter_join_requests");
    return registry;
}
