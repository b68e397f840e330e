#pragma once

// Conversions from decoded wire values to the values the rest of the program
// sees. Every converter throws server_error for a value it does not accept.

#include "ClientConfig.h"
#include "ProtocolEnums.h"
#include "ScoreRecords.h"
#include "TimeSpan.h"
#include "meld.h"
#include "wind.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/// Wire shapes of the composite values, as a handler reads them field by
/// field (strings are the raw bytes, UTF-8).
namespace wire {
struct time_span
{
    std::int64_t start = 0;
    std::int64_t end = 0;
};

struct client_config
{
    std::string xmppHost;
    std::string conferenceJid;
    std::string lobbyRoomJid;
    std::string searchJid;
};

struct highscore_row
{
    std::uint32_t number = 0; ///< not kept
    std::string name;
    std::int64_t value = 0;
};

struct meld_record
{
    std::uint32_t type = 0;
    std::uint32_t visibility = 0;
    std::uint8_t tile = 0;
    std::int32_t extra = 0;
    std::uint8_t extraTile = 0;
};

struct meld_offer
{
    std::uint32_t type = 0;
    std::uint8_t tile = 0;
};

struct highlighted_tiles
{
    std::uint8_t index = 0;
    std::vector<std::uint8_t> tiles;
};

/// One scoring record of a hand end, in wire order.
struct score_record
{
    std::int32_t pid = 0;
    std::int32_t a = 0; ///< hand score
    std::int32_t b = 0; ///< current score
    std::int32_t c = 0; ///< not kept
    std::vector<std::pair<std::uint8_t, std::int32_t>> points;
    std::int32_t d = 0; ///< points total
    std::vector<std::pair<std::uint8_t, std::int16_t>> doubles;
    std::int32_t e = 0; ///< doubles total
    std::vector<std::pair<std::uint8_t, std::int16_t>> limitHands;
    std::int32_t f = 0; ///< limit hands total
    std::vector<highlighted_tiles> highlighted;
    std::uint8_t scoreType = 0;
    std::int32_t g = 0; ///< settlement
    std::int64_t h = 0; ///< payment (low 32 bits kept)
};
}

// Enumerations. The text of the server_error is given beside each; where it
// ends in a blank, the rejected value follows in decimal.
qint32 rulesetFromWire(std::int64_t v);    ///< "illegal ruleset value "
qint32 gameTypeFromWire(std::int64_t v);   ///< "illegal game_type value "
qint32 settlementFromWire(std::int64_t v); ///< "illegal settlement value "
qint32 scoreTypeFromWire(std::int64_t v);  ///< "Server error in score"
endhand_reason_t scoringReasonFromWire(std::int64_t v);    ///< "Unexpected scoring type"
endhand_reason_t nonScoringReasonFromWire(std::int64_t v); ///< "Unexpected non scoring type"
WebPageRequest::enum_t webPageRequestFromWire(std::int64_t v); ///< "Unexpected web page type type"
std::uint8_t webPageRequestToWire(std::int64_t request);       ///< "Unexpected web page type type"
join_failed_reason::enum_t joinFailedReasonFromWire(std::int64_t v); ///< "Unexpected join failed reason"
tmnt_register_failed_reason::enum_t tournamentRegisterFailedReasonFromWire(std::int64_t v); ///< "Unexpected join failed reason"
kick_reason::enum_t kickReasonFromWire(std::int64_t v); ///< "Unexpected kick reason"
game_protocol::meld_type::enum_t meldTypeFromWire(std::int64_t v); ///< "illegal meld value "
/// The wire code of a meld type code (1 chow .. 128 riichi); the inverse of meldTypeFromWire.
std::uint8_t meldTypeToWire(std::int64_t type); ///< "illegal meld value "
game_protocol::meld_visibility::enum_t meldVisibilityFromWire(std::int64_t v); ///< "illegal visibility "
game_protocol::wind::enum_t windFromWire(std::int64_t v);                     ///< "illegal wind "
server_game_state::enum_t gameStateFromWire(std::int64_t v);                   ///< "illegal game state "
qint32 tournamentStatusFromWire(std::int64_t v); ///< "illegal tournament status "

/// The text on one line: its control characters (line feeds and tabs among
/// them) and line or paragraph separators as spaces, so that no part of it
/// can pass for a line of its own; and isolatedDirection() of that.
QString singleLine(QString text);
/// A text from outside that sets a direction (right-to-left letters,
/// direction controls) isolated between U+2068 and U+2069, less the
/// direction controls that it opens and never closes or closes without
/// opening: it never turns the words around it. Any other text as it is.
QString isolatedDirection(const QString& text);
/// Characters kept of a name from the server (a table's, a tournament's, a
/// player's); a longer one is cut and ends with an ellipsis.
constexpr qsizetype maxNameLength = 256;
/// A name from the server as the windows show it: singleLine() of its first
/// maxNameLength characters (never half of a surrogate pair).
QString nameFromWire(const QString& text);

/// Milliseconds since 1970-01-01 UTC to a UTC date-time with millisecond precision.
QDateTime serverTimeToDateTime(qint64 ms);
TimeSpan timeSpanFromWire(const wire::time_span& span);

/// "[a, b, c, d]" to the four place bonuses; throws "Invalid bonus table
/// format" or "Unbalanced bonus table from server" (sum not zero).
std::array<qint32, 4> parseBonusTable(const std::string& text);

ClientConfig clientConfigFromWire(const wire::client_config& config);
HighscoreList highscoreListFromWire(const std::vector<wire::highscore_row>& rows);
round_score_row roundScoreFromWire(std::int32_t pid, std::int32_t score, std::int32_t value);
meld_tuple meldTupleFromWire(const wire::meld_record& record);
meld_offer_vector meldOffersFromWire(const std::vector<wire::meld_offer>& offers);
/// Throws "illegal highlight index " + index when the index exceeds the tile count.
HighlightedTiles highlightedTilesFromWire(const wire::highlighted_tiles& item);
/// The score items are named by their source texts, translated where they are shown.
player_score playerScoreFromWire(const wire::score_record& record);

/// Number of entries of the score-name table (ids 0 to scoreNameCount - 1).
constexpr int scoreNameCount = 155;
/// Untranslated source text of a score name (context "Scores"); nullptr outside the table.
const char* scoreNameSource(int id);
