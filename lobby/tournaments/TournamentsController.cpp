// Tournament events in, tournament windows out.
#include "TournamentsController.h"

#include "ConnectionManager.h"
#include "RankingRequestQueue.h"
#include "TableModel.h"
#include "ModelessMsgBox.h"
#include "TournamentRankingModel.h"
#include "TournamentRequests.h"
#include "TournamentWindow.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyWindow.h"
#include "SocialServices.h"
#include "Utils.h"

#include <QMainWindow>
#include <QMetaObject>
#include <QPoint>

namespace {

/// Said once, whether or not a window of the tournament is open.
void sayGivenUp(TournamentRequests::Kind kind)
{
    ModelessMsgBox::warning(findMainWindow(), [kind] {
        switch (kind) {
        case TournamentRequests::Kind::Register:
            return ModelessMsgBox::Wording{
                TournamentsController::tr("Join tournament"),
                TournamentsController::tr("The server did not answer the registration; try again")};
        case TournamentRequests::Kind::Unregister:
            return ModelessMsgBox::Wording{
                TournamentsController::tr("Unregister from tournament"),
                TournamentsController::tr("The server did not answer the unregistration; try again")};
        default:
            return ModelessMsgBox::Wording{
                TournamentsController::tr("Leave tournament"),
                TournamentsController::tr("The server did not answer the request to leave; try again")};
        }
    });
}

} // namespace

TournamentsController::TournamentsController(ConnectionManager* connection, QObject* parent, QWidget* mainWindow)
    : QObject(parent)
    , connection(connection)
    , mainWindow(mainWindow)
    , model(new TournamentsLobbyModel(this))
    , rankingRequests(new RankingRequestQueue([connection](qint32 id) { connection->get_tournament_ranking_list(id); },
                                              [connection] { return connection->isReadingTournamentList(); }, this))
    , pendingRequests(new TournamentRequests(connection, this))
{
    using CM = ConnectionManager;
    using FullRecord = void (CM::*)(TournamentInfo);
    using KeyUpdate = void (CM::*)(qint32, TournamentInfoUpdates);
    const auto fullRecord = static_cast<FullRecord>(&CM::tournamentInfoUpdate);
    const auto keyUpdate = static_cast<KeyUpdate>(&CM::tournamentInfoUpdate);

    // The model first, so that its row is current before anyone hears of the change.
    connect(connection, fullRecord, model, &TournamentsLobbyModel::addOrUpdateTournament);
    connect(connection, keyUpdate, model, &TournamentsLobbyModel::updateTournamentInfo);
    connect(connection, keyUpdate, this, &TournamentsController::updateTournamentInfo);
    // Only the standings on show: a list of thousands asks for none.
    const auto changed = [this](qint32 id) {
        if (standingsShown.count(id))
            getTournamentHighscores(id);
    };
    connect(connection, fullRecord, this, [changed](const TournamentInfo& info) { changed(info.tournamentId); });
    connect(connection, keyUpdate, this, [changed](qint32 id, const TournamentInfoUpdates&) { changed(id); });
    connect(connection, &CM::tournamentRemoved, model, &TournamentsLobbyModel::onTournamentRemoved);
    connect(connection, &CM::notifyRegistered, model, &TournamentsLobbyModel::onRegisteredNotification);
    connect(connection, &CM::tournamentRegisterSuccess, model, &TournamentsLobbyModel::onTournamentRegisterSuccess);
    // "Already registered" is a refusal that says the player is registered.
    connect(connection, &CM::tournamentRegisterFailed, model,
            [this](qint32 id, tmnt_register_failed_reason::enum_t reason) {
                if (reason == tmnt_register_failed_reason::ALREADY_REGISTERED)
                    model->onTournamentRegisterSuccess(id);
            });
    connect(connection, &CM::tournamentUnregisterSuccess, model,
            &TournamentsLobbyModel::onTournamentUnregisterSuccess);
    connect(connection, &CM::tournamentLeaveSuccess, model, &TournamentsLobbyModel::onTournamentLeaveSuccess);
    // The standings of a long list are asked for once it is all in, and a
    // tournament is asked for again only once the server answered.
    connect(connection, &CM::tournamentListAnnounced, rankingRequests, &RankingRequestQueue::resume);
    connect(connection, &CM::tournamentRankings, rankingRequests,
            [this](qint32 id, const TournamentRankings&) { rankingRequests->answered(id); });
    connect(pendingRequests, &TournamentRequests::givenUp, this,
            [](qint32, TournamentRequests::Kind kind) { sayGivenUp(kind); });
}

TournamentsController::~TournamentsController() = default;

void TournamentsController::setTableModel(TableModel* tables)
{
    tableModel = tables;
}

void TournamentsController::setAnswerTimeLimit(int ms)
{
    pendingRequests->setAnswerTimeLimit(ms);
}

void TournamentsController::setSocialServices(SocialServices* services)
{
    social = services;
}

TournamentsLobbyWindow* TournamentsController::createLobbyWindow(QWidget* parent)
{
    auto* window = new TournamentsLobbyWindow(this, parent);
    window->setModel(model);
    return window;
}

TournamentWindow* TournamentsController::openTournamentWindow(const TournamentInfo& info)
{
    using CM = ConnectionManager;
    using W = TournamentWindow;
    auto* window = new TournamentWindow(info, social, nullptr);
    auto* ranking = new TournamentRankingModel(info.tournamentId, window);
    window->setRankingModel(ranking);
    window->setTablesModel(tableModel);

    // Through the tournament's requests: whichever of its windows asks, one
    // request is on its way at a time.
    using Kind = TournamentRequests::Kind;
    const auto send = [this](Kind kind) { return [this, kind](int id) { pendingRequests->send(id, kind); }; };
    connect(window, &W::registerTournament, pendingRequests, send(Kind::Register));
    connect(window, &W::unregisterTournament, pendingRequests, send(Kind::Unregister));
    connect(window, &W::leaveTournament, pendingRequests, send(Kind::Leave));
    window->setRequests(pendingRequests);
    connect(window, &W::watchTable, this, &TournamentsController::watchTable);

    connect(connection, &CM::tournamentRegisterSuccess, window, &W::onTournamentRegisterSuccess);
    connect(connection, &CM::tournamentRegisterFailed, window, &W::onTournamentRegisterFailed);
    connect(connection, &CM::tournamentUnregisterSuccess, window, &W::onTournamentUnregisterSuccess);
    connect(connection, &CM::tournamentUnregisterFailed, window, &W::onTournamentUnregisterFailed);
    connect(connection, &CM::tournamentLeaveSuccess, window, &W::onTournamentLeaveSuccess);
    connect(connection, &CM::tournamentLeaveFailed, window, &W::onTournamentLeaveFailed);
    connect(connection, &CM::tournamentRankings, ranking, &TournamentRankingModel::onTournamentRankings);
    connect(connection, &CM::tournamentRemoved, window, &W::tournamentRemoved);
    connect(connection, static_cast<void (CM::*)(TournamentInfo)>(&CM::tournamentInfoUpdate), window,
            static_cast<void (W::*)(const TournamentInfo&)>(&W::tournamentInfoUpdate));
    connect(connection, static_cast<void (CM::*)(qint32, TournamentInfoUpdates)>(&CM::tournamentInfoUpdate), window,
            static_cast<void (W::*)(qint32, const TournamentInfoUpdates&)>(&W::tournamentInfoUpdate));

    connect(window, &W::accountNeeded, this, &TournamentsController::onAccountNeeded);
    connect(window, &W::userMenuRequested, this, &TournamentsController::userMenuRequested);

    showStandings(info.tournamentId, window);
    return window;
}

bool TournamentsController::hasTournament(qint32 id) const
{
    return model->hasTournament(id);
}

const TournamentInfo& TournamentsController::tournamentInfo(qint32 id) const
{
    return model->tournament(id);
}

void TournamentsController::getTournamentHighscores(const TournamentInfo& info)
{
    getTournamentHighscores(info.tournamentId);
}

void TournamentsController::getTournamentHighscores(qint32 tournamentId)
{
    rankingRequests->request(tournamentId);
}

void TournamentsController::showStandings(qint32 tournamentId, QObject* viewer)
{
    if (standingsViewers.try_emplace(viewer, tournamentId).second) {
        ++standingsShown[tournamentId];
        connect(viewer, &QObject::destroyed, this, [this, viewer] {
            const auto gone = standingsViewers.find(viewer);
            if (--standingsShown[gone->second] == 0)
                standingsShown.erase(gone->second);
            standingsViewers.erase(gone);
        });
    }
    getTournamentHighscores(tournamentId);
}

int TournamentsController::rankingRequestsSent() const
{
    return rankingRequests->sentCount();
}

void TournamentsController::onAccountNeeded()
{
    connection->query_web_page(WebPageRequest::ACCOUNT);
}
