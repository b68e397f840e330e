#pragma once

// Turns the lobby records of received messages into the values the rest of
// the program sees. Everything is converted and checked here, while the
// message is decoded: a value the client cannot use throws server_error and
// no signal carries any part of that record.

#include "TableInfo.h"
#include "TournamentInfo.h"
#include "TournamentRankings.h"
#include "platform_packets.h"

/// A table snapshot: the record's id, path, name, capacity and seated count,
/// then its parameters applied. Writes the "Got table" trace.
TableInfo tableInfoFromRecord(const platform_packets::table_record& record);

/// The checked changes of a table update. Writes the "Update table" trace.
TableInfoUpdates tableInfoUpdatesFromRecord(const platform_packets::table_update_record& record);

/// A tournament snapshot. Writes the "tournament_snapshot" trace.
TournamentInfo tournamentInfoFromRecord(const platform_packets::tournament_record& record);

/// The checked changes of a tournament update. Writes the "tournament_update" trace.
TournamentInfoUpdates tournamentInfoUpdatesFromRecord(const platform_packets::tournament_update_record& record);

/// The ranking rows in wire order.
TournamentRankings tournamentRankingsFromRows(const std::vector<platform_packets::ranking_row>& rows);
