#pragma once

#include <QtGlobal>

#include <set>
#include <utility>

/// The application's wait cursor, owned by the requests that show it. A
/// request pushes the override cursor once when it is sent and its own answer
/// pops it once, so an answer never takes back a cursor that another request
/// set, and a request sent again while unanswered (the table throttle lets
/// one through after 3 s) still shows one cursor and is taken back once.
/// The main window and the game controller share the one instance.
class WaitCursor
{
public:
    /// What a wait is for; with an id (a table id, a quick join's sequence
    /// number, 0 when there is only one of its kind) it names one request.
    enum class Request { Login, Join, Watch, QuickJoin };

    static WaitCursor& instance();

    /// Shows the wait cursor for the request, unless it already shows one.
    void begin(Request request, qint64 id = 0);
    /// The request's answer arrived: takes back its cursor. An answer to a
    /// request that shows none changes nothing. Returns whether one was taken back.
    bool end(Request request, qint64 id = 0);
    /// Takes back the cursors of every request of the kind (an answer that
    /// does not say which one it answers).
    int endAll(Request request);
    bool isWaiting(Request request, qint64 id = 0) const;
    /// The number of requests showing the cursor.
    int count() const { return int(waiting.size()); }
    /// Takes back every cursor of every request (a session that ends).
    void clear();

private:
    WaitCursor() = default;

    std::set<std::pair<Request, qint64>> waiting;
};
