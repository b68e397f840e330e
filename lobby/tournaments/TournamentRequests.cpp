// The player's tournament requests on their way, one per tournament.
#include "TournamentRequests.h"

#include "AnswerDeadline.h"
#include "ConnectionManager.h"

#include <QDebug>

TournamentRequests::TournamentRequests(ConnectionManager* connection, QObject* parent)
    : QObject(parent)
    , connection(connection)
{
    using CM = ConnectionManager;
    const auto ends = [this](Kind kind) { return [this, kind](qint32 id) { end(id, kind); }; };
    connect(connection, &CM::tournamentRegisterSuccess, this, ends(Kind::Register));
    connect(connection, &CM::tournamentRegisterFailed, this,
            [this](qint32 id, tmnt_register_failed_reason::enum_t) { end(id, Kind::Register); });
    connect(connection, &CM::tournamentUnregisterSuccess, this, ends(Kind::Unregister));
    connect(connection, &CM::tournamentUnregisterFailed, this,
            [this](qint32 id, tmnt_register_failed_reason::enum_t) { end(id, Kind::Unregister); });
    connect(connection, &CM::tournamentLeaveSuccess, this, ends(Kind::Leave));
    connect(connection, &CM::tournamentLeaveFailed, this, [this](qint32 id, const QString&) { end(id, Kind::Leave); });
    connect(connection, &CM::tournamentRemoved, this, ends(Kind::None));
    // Nothing asked on a link that has ended is answered on the next.
    connect(connection, &CM::disconnected, this, &TournamentRequests::endAll);
    connect(connection, &CM::connecting, this, &TournamentRequests::endAll);
}

TournamentRequests::~TournamentRequests() = default;

TournamentRequests::Kind TournamentRequests::pending(qint32 tournamentId) const
{
    const auto it = requests.find(tournamentId);
    return it == requests.end() ? Kind::None : it->second.kind;
}

bool TournamentRequests::send(qint32 tournamentId, Kind kind)
{
    if (kind == Kind::None || pending(tournamentId) != Kind::None)
        return false;
    auto* deadline = new AnswerDeadline(limitMs, this);
    deadline->setConnection(connection);
    connect(deadline, &AnswerDeadline::expired, this, [this, tournamentId, kind] {
        qWarning() << "tournament" << tournamentId << "request unanswered within" << limitMs
                   << "ms of a quiet connection; given up";
        end(tournamentId, kind);
        Q_EMIT givenUp(tournamentId, kind);
    });
    deadline->start();
    requests[tournamentId] = Request{kind, deadline};
    switch (kind) {
    case Kind::Register: connection->register_tournament_request(tournamentId); break;
    case Kind::Unregister: connection->unregister_tournament_request(tournamentId); break;
    case Kind::Leave: connection->leave_tournament(tournamentId); break;
    case Kind::None: break;
    }
    Q_EMIT pendingChanged(tournamentId);
    return true;
}

void TournamentRequests::end(qint32 tournamentId, Kind kind)
{
    const auto it = requests.find(tournamentId);
    // An answer to a request given up earlier ends nothing asked since.
    if (it == requests.end() || (kind != Kind::None && it->second.kind != kind))
        return;
    // The deadline may be the sender of the call that ends it.
    it->second.deadline->stop();
    it->second.deadline->deleteLater();
    requests.erase(it);
    Q_EMIT pendingChanged(tournamentId);
}

void TournamentRequests::endAll()
{
    while (!requests.empty())
        end(requests.begin()->first, Kind::None);
}
