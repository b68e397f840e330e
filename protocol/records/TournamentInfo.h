#pragma once

#include "ParamValue.h"
#include "TournamentInfoUpdates.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

/// One tournament as the server describes it.
struct TournamentInfo
{
    TournamentInfo();

    qint32 tournamentId = -1;
    /// 0 open, 1 closed, 2 seating, 3 playing, 4 paused, 5 finished, 6 failed; -1 unknown.
    qint32 status = -1;
    /// The own player is registered. Set by the tournaments lobby on a
    /// registration or unregistration success, never by a server key.
    bool ownRegistered = false;
    /// Display name; "N/A" (translated, context "Utils") until the server names it.
    QString name;
    qint32 capacity = -1;
    qint32 registered = -1;
    qint32 activePlayers = -1;
    qint32 minPlayers = -1;
    QDateTime start;
    QDateTime end;
    QDateTime closeRegister;
    qint32 maxPlayers = -1;
    qint32 numberOfRounds = -1;
    qint32 currentRound = -1;
    std::vector<QDateTime> roundsStart;
    /// Length of each round, in the server's unit.
    std::vector<qint32> roundsLength;
    QUrl infoUrl;
    QUrl shortInfoUrl;
    /// 0 classic, 1 international, 2 riichi.
    qint32 ruleset = 0;
    /// Buy-in in cents; -1 unknown.
    qint32 bet = -1;

    /// Runs the changes in list order.
    void applyUpdates(const TournamentInfoUpdates& updates);

    /// The process-wide default record that removals reset fields from.
    static const TournamentInfo& defaults();

    friend bool operator==(const TournamentInfo&, const TournamentInfo&) = default;
};

/// Converts and checks one changed tournament key (server_error for a value of
/// the wrong kind or one its conversion refuses); no change for unused keys.
std::optional<TournamentInfoUpdate> makeTournamentInfoChange(const std::string& key, const ParamValue& value);
/// The change for one removed tournament key; none for keys the client does not use.
std::optional<TournamentInfoUpdate> makeTournamentInfoReset(const std::string& key,
                                                            const TournamentInfo& defaults);

void applyTournamentInfoParam(TournamentInfo& info, const std::string& key, const ParamValue& value);
void resetTournamentInfoKey(TournamentInfo& info, const std::string& key, const TournamentInfo& defaults);

/// Builds the checked change list of a tournament update: sets first, then
/// resets, each in wire order. Throws server_error for bad data.
TournamentInfoUpdates tournamentInfoUpdatesFromParams(const ParamList& params,
                                                      const std::vector<std::string>& removedKeys);

/// The address rule of the info URL keys: empty stays empty, an address
/// with a scheme ("https://host/x") keeps it, anything else gets "http://"
/// in front ("host/x", "host:8080/x").
QUrl infoUrlFromText(const QString& text);

/// Seconds since 1970-01-01 UTC (taken as unsigned 32-bit), in local time.
QDateTime tournamentTimeFromSeconds(qint64 seconds);

QString debugText(const TournamentInfo& info);

Q_DECLARE_METATYPE(TournamentInfo)
