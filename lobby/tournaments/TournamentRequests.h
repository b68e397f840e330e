#pragma once

#include <QObject>

#include <map>

class AnswerDeadline;
class ConnectionManager;

/// What the player asked of each tournament (to register, to unregister, to
/// leave) that the server has not answered yet. The request belongs to the
/// tournament, not to the window it was asked from: at most one is on its
/// way per tournament, whichever window of it asks, and a window opened
/// meanwhile sees it. A request ends with its answer, its refusal, the
/// tournament's removal, the end of the link, or, when the server stays
/// quiet for the time limit, given up; the player may then ask again. An
/// answer that comes after that still counts where it is heard (the
/// registration mark), it only ends nothing here.
class TournamentRequests : public QObject
{
    Q_OBJECT

public:
    enum class Kind { None, Register, Unregister, Leave };
    Q_ENUM(Kind)

    /// How long a quiet connection may leave a request unanswered.
    static constexpr int answerTimeLimitMs = 20000;

    /// Requests go out through `connection`, whose answers end them.
    explicit TournamentRequests(ConnectionManager* connection, QObject* parent = nullptr);
    ~TournamentRequests() override;

    /// The tournament's request on its way; None when there is none.
    Kind pending(qint32 tournamentId) const;
    /// Sends the request unless one of the tournament's is on its way;
    /// whether it went.
    bool send(qint32 tournamentId, Kind kind);
    /// For the requests sent from now on.
    void setAnswerTimeLimit(int ms) { limitMs = ms; }

Q_SIGNALS:
    /// A request of the tournament went out or ended.
    void pendingChanged(qint32 tournamentId);
    /// The server left the request unanswered for the time limit; it has ended.
    void givenUp(qint32 tournamentId, TournamentRequests::Kind kind);

private:
    /// Ends the tournament's request when it is of `kind` (None: of any kind).
    void end(qint32 tournamentId, Kind kind);
    void endAll();

    struct Request
    {
        Kind kind = Kind::None;
        AnswerDeadline* deadline = nullptr;
    };
    ConnectionManager* connection;
    std::map<qint32, Request> requests;
    int limitMs = answerTimeLimitMs;
};
