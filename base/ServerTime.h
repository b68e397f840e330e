#pragma once

#include "Singleton.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class ConnectionManager;

/// Milliseconds from `from` to `to`, both taken in UTC; negative when `to` is earlier.
qint64 msecsBetween(const QDateTime& from, const QDateTime& to);
/// Whether a time the server gave is one: less than twenty years
/// (maxShownSeconds) from the server's clock (ServerTime::currentTime()),
/// and neither the largest nor the smallest signed count of seconds. The
/// server's counts that mean no time (zero, those two, a negative count)
/// read as dates of 1970, 2038 and up to 2106.
bool isServerTimeKnown(const QDateTime& time);
/// formatDateTime() of a time the server gave; "<unknown>" when it is not one.
QString serverTimeText(const QDateTime& time);

/// The process-wide estimate of the game server's clock. While a connection
/// is set it asks the server for its time, one request at a time, 2000 ms
/// after each reply, and moves its estimate only when the local extrapolation
/// has left the window that the latest reply allows. Countdowns and time
/// stamps read currentTime().
///
/// Between replies the estimate runs on a monotonic clock that also counts a
/// machine's sleep: the machine's clock set forward or back (a time sync, a
/// resume) moves no countdown. Only before the server's first reply is the
/// machine's date and time the estimate.
///
/// Its requests are also what tells a silent link from a quiet server: an
/// honest server answers one within seconds, so a server from which nothing
/// at all comes (no reply, no other bytes) while requests wait has a link
/// that died without a close. Time the process itself spent stopped (a
/// closed lid, a paused machine) is no silence of the server: when its timer
/// comes back more than wakeGap ms after it was due, the silence is counted
/// again from then and the time is asked anew.
class ServerTime : public QObject, public Singleton<ServerTime>
{
    Q_OBJECT
    friend class Singleton<ServerTime>;

public:
    /// Sends one time request and returns its id.
    using RequestSender = std::function<qint32()>;
    /// The machine's date and time.
    using WallClock = std::function<QDateTime()>;
    /// Milliseconds from any fixed point, never going back.
    using MonotonicClock = std::function<qint64()>;

    /// The estimated current server time, in UTC.
    static QDateTime currentTime();
    /// Milliseconds on the process's monotonic clock (what countdowns count by).
    static qint64 monotonicTime();

    /// The clocks read instead of the machine's own (an empty function: the
    /// machine's again). The estimate goes on from where it stood.
    void setClocks(WallClock wall, MonotonicClock monotonic);

    /// Starts the ping cycle on the connection (null ends it).
    void setConnection(ConnectionManager* connection);
    /// Starts the ping cycle with a request function of its own (an empty function ends it).
    void setRequestSender(RequestSender sender);

    /// The estimate, in UTC.
    QDateTime estimate() const;
    /// The last accepted round trip in milliseconds.
    int ping() const { return lastPing; }
    /// The pause between a reply and the next request.
    static constexpr int pingInterval = 2000;
    /// How long a request may stay unanswered before it is sent again.
    static constexpr int replyTimeout = 10000;
    /// How long nothing at all may come from the server, while its requests
    /// go unanswered, before its connection counts as lost.
    static constexpr int silenceLimit = 30000;
    /// How much later than it was due a timer may come before the process
    /// counts as having been stopped.
    static constexpr int wakeGap = 5000;
    /// The longest wait between two looks at the clock: Qt's timers do not
    /// count a machine's sleep, the monotonic clock does.
    static constexpr int turnLimit = 1000;

Q_SIGNALS:
    /// The estimate moved.
    void updatedEstimate();
    /// A reply was accepted and ping() holds its round trip.
    void updatedPing();
    /// A request stayed unanswered for replyTimeout ms; it is sent again.
    void timeout();
    /// A request is overdue and nothing at all has come from the server for
    /// replyTimeout ms (a late reply behind a long backlog is no silence).
    void silenceBegan();
    /// The server was heard again (a reply or any other bytes) after silenceBegan().
    void silenceEnded();
    /// Nothing came from the server for silenceLimit ms while its requests
    /// went unanswered. The connection is detached, as with setConnection(nullptr).
    void connectionLost();

public Q_SLOTS:
    void onTimeFromServer(qint32 requestId, const QDateTime& serverTime);
    /// The server answered the request without a time: asked again after the usual pause.
    void onTimeFromServerFailed(qint32 requestId, const QString& reason);
    void onTimeout();
    void pingServer();

private:
    ServerTime();
    ~ServerTime() override;

    QDateTime wallNow() const;
    qint64 monotonicNow() const;
    /// Stops the cycle and forgets any silence.
    void resetCycle();
    /// Anything came from the server: it is not silent.
    void heard();
    /// The one timer's turn: notices a stop of the process, then does what is due.
    void turn();
    /// The earliest moment (monotonic) at which something is due, if any.
    std::optional<qint64> nextDue() const;
    /// Arms the timer for nextDue(), at most turnLimit ms away.
    void schedule();
    /// While a request is overdue: announces a silence, or the lost
    /// connection, once the server has been quiet long enough.
    void checkSilence();

    WallClock wall;
    MonotonicClock monotonic;
    ConnectionManager* connection = nullptr;
    QMetaObject::Connection bytesArrived;
    RequestSender sender;
    std::optional<qint32> pendingRequest;
    /// When the pending request went out; its reply is given up on replyTimeout ms later.
    qint64 sentAt = 0;
    /// When the next request goes out, while none is pending.
    std::optional<qint64> pingDue;
    QTimer turnTimer;
    /// When anything last came from the server (or the cycle began, or the process woke).
    qint64 heardAt = 0;
    /// A request went unanswered since the server was last heard: its silence is watched.
    bool overdue = false;
    bool silent = false;
    int lastPing = 0;
    /// The estimate: the server's time at a moment of the monotonic clock,
    /// once the server has answered.
    QDateTime serverBase;
    std::optional<qint64> monotonicBase;
    bool firstReply = true;
};
