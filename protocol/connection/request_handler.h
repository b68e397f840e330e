#pragma once

#include <QMutex>

#include <map>

/// A registry of outstanding requests that the server answers by sequence
/// number: hands out the numbers and remembers, per number, the message class
/// of the request. Process-wide instances below; every operation locks.
class request_handler
{
public:
    explicit request_handler(const char* name);
    /// Reports unconsumed requests on the standard output stream.
    ~request_handler();

    request_handler(const request_handler&) = delete;
    request_handler& operator=(const request_handler&) = delete;

    /// Takes the next sequence number (1, 2, 3, ...) for a request of the class.
    int registerRequest(int classId);
    /// Records a number chosen by the caller; throws std::runtime_error when
    /// that number is already outstanding.
    void addOutstandingRequest(int classId, int seq);
    /// Removes a number and returns its class; throws std::runtime_error when
    /// the number is not outstanding.
    int takeOutstandingRequest(int seq);

    const char* name() const { return m_name; }
    /// Number of outstanding requests.
    int outstandingCount() const;
    /// True when the number is outstanding.
    bool isOutstanding(int seq) const;

private:
    const char* const m_name;
    mutable QMutex m_lock;
    std::map<int, int> m_outstanding;
    int m_lastSeq = 0;
};

/// Backend service requests (envelope class 101).
request_handler& service_requests();
/// Local service requests (envelope class 103).
request_handler& local_service_requests();
/// Filtered joins (class 170) and their cancellation (class 172).
request_handler& filter_join_requests();
