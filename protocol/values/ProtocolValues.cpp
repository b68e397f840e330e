#include "ProtocolValues.h"

#include "server_error.h"


#include <QList>

#include <algorithm>
#include <sstream>

namespace {

[[noreturn]] void reject(const char* text)
{
    throw server_error(text);
}

[[noreturn]] void rejectValue(const char* text, std::int64_t value)
{
    throw server_error(std::string(text) + std::to_string(value));
}

const char* const scoreNames[scoreNameCount] = {
    QT_TRANSLATE_NOOP("Scores", "Bonus"), // 0
    QT_TRANSLATE_NOOP("Scores", "Going mahjong"), // 1
    QT_TRANSLATE_NOOP("Scores", "Kong of simples"), // 2
    QT_TRANSLATE_NOOP("Scores", "Kong of terminals"), // 3
    QT_TRANSLATE_NOOP("Scores", "Kong of honors"), // 4
    QT_TRANSLATE_NOOP("Scores", "Concealed kong of simples"), // 5
    QT_TRANSLATE_NOOP("Scores", "Concealed kong of terminals"), // 6
    QT_TRANSLATE_NOOP("Scores", "Concealed kong of honors"), // 7
    QT_TRANSLATE_NOOP("Scores", "Pong of simples"), // 8
    QT_TRANSLATE_NOOP("Scores", "Pong of terminals"), // 9
    QT_TRANSLATE_NOOP("Scores", "Pong of honors"), // 10
    QT_TRANSLATE_NOOP("Scores", "Concealed pong of simples"), // 11
    QT_TRANSLATE_NOOP("Scores", "Concealed pong of terminals"), // 12
    QT_TRANSLATE_NOOP("Scores", "Concealed pong of honors"), // 13
    QT_TRANSLATE_NOOP("Scores", "Chow"), // 14
    QT_TRANSLATE_NOOP("Scores", "Pair"), // 15
    QT_TRANSLATE_NOOP("Scores", "Pair of dragons"), // 16
    QT_TRANSLATE_NOOP("Scores", "Pair in own and prevailing wind"), // 17
    QT_TRANSLATE_NOOP("Scores", "Pair in own wind"), // 18
    QT_TRANSLATE_NOOP("Scores", "Pair in prevailing wind"), // 19
    QT_TRANSLATE_NOOP("Scores", "Filling only place"), // 20
    QT_TRANSLATE_NOOP("Scores", "Last tile from wall"), // 21
    QT_TRANSLATE_NOOP("Scores", "Heavens blessing"), // 22
    QT_TRANSLATE_NOOP("Scores", "Earths blessing"), // 23
    QT_TRANSLATE_NOOP("Scores", "Catching the moon from the bottom of the sea"), // 24
    QT_TRANSLATE_NOOP("Scores", "Gathering plum blossom from the roof"), // 25
    QT_TRANSLATE_NOOP("Scores", "Kong on kong"), // 26
    QT_TRANSLATE_NOOP("Scores", "Thirteen unique wonders"), // 27
    QT_TRANSLATE_NOOP("Scores", "Wriggly snake"), // 28
    QT_TRANSLATE_NOOP("Scores", "Imperial jade"), // 29
    QT_TRANSLATE_NOOP("Scores", "All honors"), // 30
    QT_TRANSLATE_NOOP("Scores", "Fourfold plenty"), // 31
    QT_TRANSLATE_NOOP("Scores", "Heads and tails"), // 32
    QT_TRANSLATE_NOOP("Scores", "Four large blessings special"), // 33
    QT_TRANSLATE_NOOP("Scores", "Three great scholars special"), // 34
    QT_TRANSLATE_NOOP("Scores", "Gates of heaven"), // 35
    QT_TRANSLATE_NOOP("Scores", "Buried treasure"), // 36
    QT_TRANSLATE_NOOP("Scores", "Chicken hand"), // 37
    QT_TRANSLATE_NOOP("Scores", "Pure double chow"), // 38
    QT_TRANSLATE_NOOP("Scores", "Mixed double chow"), // 39
    QT_TRANSLATE_NOOP("Scores", "Short straight"), // 40
    QT_TRANSLATE_NOOP("Scores", "Two terminal chows"), // 41
    QT_TRANSLATE_NOOP("Scores", "Pong of terminals or honors"), // 42
    QT_TRANSLATE_NOOP("Scores", "Melded kong"), // 43
    QT_TRANSLATE_NOOP("Scores", "One voided suit"), // 44
    QT_TRANSLATE_NOOP("Scores", "No honors"), // 45
    QT_TRANSLATE_NOOP("Scores", "Flower tiles"), // 46
    QT_TRANSLATE_NOOP("Scores", "Edge wait"), // 47
    QT_TRANSLATE_NOOP("Scores", "Closed wait"), // 48
    QT_TRANSLATE_NOOP("Scores", "Single wait"), // 49
    QT_TRANSLATE_NOOP("Scores", "Self drawn"), // 50
    QT_TRANSLATE_NOOP("Scores", "Dragon pong"), // 51
    QT_TRANSLATE_NOOP("Scores", "Tile hog"), // 52
    QT_TRANSLATE_NOOP("Scores", "Seat wind"), // 53
    QT_TRANSLATE_NOOP("Scores", "Concealed hand"), // 54
    QT_TRANSLATE_NOOP("Scores", "Double pong"), // 55
    QT_TRANSLATE_NOOP("Scores", "Two concealed pongs"), // 56
    QT_TRANSLATE_NOOP("Scores", "Concealed kong"), // 57
    QT_TRANSLATE_NOOP("Scores", "All simples"), // 58
    QT_TRANSLATE_NOOP("Scores", "Outside hand"), // 59
    QT_TRANSLATE_NOOP("Scores", "Fully concealed hand"), // 60
    QT_TRANSLATE_NOOP("Scores", "Two melded kongs"), // 61
    QT_TRANSLATE_NOOP("Scores", "Last tile"), // 62
    QT_TRANSLATE_NOOP("Scores", "One melded one concealed kong"), // 63
    QT_TRANSLATE_NOOP("Scores", "Two dragons"), // 64
    QT_TRANSLATE_NOOP("Scores", "Melded hand"), // 65
    QT_TRANSLATE_NOOP("Scores", "All types"), // 66
    QT_TRANSLATE_NOOP("Scores", "Mixed shifted chows"), // 67
    QT_TRANSLATE_NOOP("Scores", "Half flush"), // 68
    QT_TRANSLATE_NOOP("Scores", "All pongs"), // 69
    QT_TRANSLATE_NOOP("Scores", "Two concealed kongs"), // 70
    QT_TRANSLATE_NOOP("Scores", "Mixed triple chow"), // 71
    QT_TRANSLATE_NOOP("Scores", "Mixed shifted pungs"), // 72
    QT_TRANSLATE_NOOP("Scores", "Last tile draw"), // 73
    QT_TRANSLATE_NOOP("Scores", "Last tile claim"), // 74
    QT_TRANSLATE_NOOP("Scores", "Out with replacement tile"), // 75
    QT_TRANSLATE_NOOP("Scores", "Reversible tiles"), // 76
    QT_TRANSLATE_NOOP("Scores", "Mixed straight"), // 77
    QT_TRANSLATE_NOOP("Scores", "Big three winds"), // 78
    QT_TRANSLATE_NOOP("Scores", "Lower four"), // 79
    QT_TRANSLATE_NOOP("Scores", "Upper four"), // 80
    QT_TRANSLATE_NOOP("Scores", "Knitted straight"), // 81
    QT_TRANSLATE_NOOP("Scores", "Lesser honors and knitted tiles"), // 82
    QT_TRANSLATE_NOOP("Scores", "Pure straight"), // 83
    QT_TRANSLATE_NOOP("Scores", "Three suited terminal chows"), // 84
    QT_TRANSLATE_NOOP("Scores", "Pure shifted chows"), // 85
    QT_TRANSLATE_NOOP("Scores", "All fives"), // 86
    QT_TRANSLATE_NOOP("Scores", "Triple pung"), // 87
    QT_TRANSLATE_NOOP("Scores", "Three concealed pungs"), // 88
    QT_TRANSLATE_NOOP("Scores", "Seven pairs"), // 89
    QT_TRANSLATE_NOOP("Scores", "Greater honors and knitted tiles"), // 90
    QT_TRANSLATE_NOOP("Scores", "All even pungs"), // 91
    QT_TRANSLATE_NOOP("Scores", "Full flush"), // 92
    QT_TRANSLATE_NOOP("Scores", "Pure triple chow"), // 93
    QT_TRANSLATE_NOOP("Scores", "Pure shifted pungs"), // 94
    QT_TRANSLATE_NOOP("Scores", "Upper tiles"), // 95
    QT_TRANSLATE_NOOP("Scores", "Middle tiles"), // 96
    QT_TRANSLATE_NOOP("Scores", "Lower tiles"), // 97
    QT_TRANSLATE_NOOP("Scores", "Four pure shifted chows"), // 98
    QT_TRANSLATE_NOOP("Scores", "Three kongs"), // 99
    QT_TRANSLATE_NOOP("Scores", "All terminals and honors"), // 100
    QT_TRANSLATE_NOOP("Scores", "Quadruple chow"), // 101
    QT_TRANSLATE_NOOP("Scores", "Four pure shifted pungs"), // 102
    QT_TRANSLATE_NOOP("Scores", "All terminals"), // 103
    QT_TRANSLATE_NOOP("Scores", "Little four winds"), // 104
    QT_TRANSLATE_NOOP("Scores", "Little three dragons"), // 105
    QT_TRANSLATE_NOOP("Scores", "Four concealed pungs"), // 106
    QT_TRANSLATE_NOOP("Scores", "Pure terminal chows"), // 107
    QT_TRANSLATE_NOOP("Scores", "Big four winds"), // 108
    QT_TRANSLATE_NOOP("Scores", "Big three dragons"), // 109
    QT_TRANSLATE_NOOP("Scores", "All green"), // 110
    QT_TRANSLATE_NOOP("Scores", "Nine gates"), // 111
    QT_TRANSLATE_NOOP("Scores", "Four kongs"), // 112
    QT_TRANSLATE_NOOP("Scores", "Seven shifted pairs"), // 113
    QT_TRANSLATE_NOOP("Scores", "Thirteen orphans"), // 114
    QT_TRANSLATE_NOOP("Scores", "Blessing of heaven"), // 115
    QT_TRANSLATE_NOOP("Scores", "Blessing of earth"), // 116
    QT_TRANSLATE_NOOP("Scores", "Blessing of man"), // 117
    QT_TRANSLATE_NOOP("Scores", "Pong of dragons"), // 118
    QT_TRANSLATE_NOOP("Scores", "Kong of dragons"), // 119
    QT_TRANSLATE_NOOP("Scores", "Pong in own wind"), // 120
    QT_TRANSLATE_NOOP("Scores", "Kong in own wind"), // 121
    QT_TRANSLATE_NOOP("Scores", "Pong in prevaling wind"), // 122
    QT_TRANSLATE_NOOP("Scores", "Kong in prevaling wind"), // 123
    QT_TRANSLATE_NOOP("Scores", "Three lesser scholars"), // 124
    QT_TRANSLATE_NOOP("Scores", "Three great scholars"), // 125
    QT_TRANSLATE_NOOP("Scores", "Four little joys"), // 126
    QT_TRANSLATE_NOOP("Scores", "Four large blessings"), // 127
    QT_TRANSLATE_NOOP("Scores", "Bouqet of flowers"), // 128
    QT_TRANSLATE_NOOP("Scores", "Bouqet of seasons"), // 129
    QT_TRANSLATE_NOOP("Scores", "Bouqet of flowers and seasons"), // 130
    QT_TRANSLATE_NOOP("Scores", "Pair of bonus tiles"), // 131
    QT_TRANSLATE_NOOP("Scores", "Three concealed pongs"), // 132
    QT_TRANSLATE_NOOP("Scores", "Bottom of the sea"), // 133
    QT_TRANSLATE_NOOP("Scores", "Winning on the roof"), // 134
    QT_TRANSLATE_NOOP("Scores", "Bottom of the river"), // 135
    QT_TRANSLATE_NOOP("Scores", "Opening a flower"), // 136
    QT_TRANSLATE_NOOP("Scores", "All chows"), // 137
    QT_TRANSLATE_NOOP("Scores", "No chows"), // 138
    QT_TRANSLATE_NOOP("Scores", "One suit only"), // 139
    QT_TRANSLATE_NOOP("Scores", "Major tiles any pair"), // 140
    QT_TRANSLATE_NOOP("Scores", "Major tiles only"), // 141
    QT_TRANSLATE_NOOP("Scores", "Clear suit"), // 142
    QT_TRANSLATE_NOOP("Scores", "Robbing the kong"), // 143
    QT_TRANSLATE_NOOP("Scores", "Closed ron"), // 144
    QT_TRANSLATE_NOOP("Scores", "Pinfu"), // 145
    QT_TRANSLATE_NOOP("Scores", "After kong"), // 146
    QT_TRANSLATE_NOOP("Scores", "Riichi"), // 147
    QT_TRANSLATE_NOOP("Scores", "Ippatsu"), // 148
    QT_TRANSLATE_NOOP("Scores", "Terminals in all sets"), // 149
    QT_TRANSLATE_NOOP("Scores", "Twice pure double chows"), // 150
    QT_TRANSLATE_NOOP("Scores", "Yakuman"), // 151
    QT_TRANSLATE_NOOP("Scores", "Daburu riichi"), // 152
    QT_TRANSLATE_NOOP("Scores", "Dora"), // 153
    QT_TRANSLATE_NOOP("Scores", "Ura dora"), // 154
};

QString scoreName(int id, const char* unknown)
{
    // The source text: a record outlives the language it arrived in, so
    // whoever shows it translates it (context "Scores").
    const char* source = scoreNameSource(id);
    return QString::fromLatin1(source ? source : unknown);
}

} // namespace

const char* joinResponseStatusName(int status)
{
    switch (status) {
    case join_response_status::JOIN_OK:
        return "JOIN_OK";
    case join_response_status::JOIN_FAILED:
        return "JOIN_FAILED";
    case join_response_status::JOIN_DENIED:
        return "JOIN_DENIED";
    default:
        return "<unknown>";
    }
}

qint32 rulesetFromWire(std::int64_t v)
{
    if (v < 0 || v > 2)
        rejectValue("illegal ruleset value ", v);
    return static_cast<qint32>(v);
}

qint32 gameTypeFromWire(std::int64_t v)
{
    if (v < 0 || v > 2)
        rejectValue("illegal game_type value ", v);
    return static_cast<qint32>(v);
}

qint32 settlementFromWire(std::int64_t v)
{
    switch (v) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 3;
    case 3:
        return 0;
    default:
        rejectValue("illegal settlement value ", v);
    }
}

qint32 scoreTypeFromWire(std::int64_t v)
{
    if (v != 0 && v != 1)
        reject("Server error in score");
    return static_cast<qint32>(v);
}

endhand_reason_t scoringReasonFromWire(std::int64_t v)
{
    switch (v) {
    case 0:
        return ENDHAND_REASON_1;
    case 1:
        return ENDHAND_REASON_2;
    case 2:
        return ENDHAND_REASON_3;
    case 4:
        return ENDHAND_REASON_5;
    default:
        reject("Unexpected scoring type");
    }
}

endhand_reason_t nonScoringReasonFromWire(std::int64_t v)
{
    if (v < 3 || v > 8)
        reject("Unexpected non scoring type");
    return static_cast<endhand_reason_t>(v + 1);
}

WebPageRequest::enum_t webPageRequestFromWire(std::int64_t v)
{
    if (v < 0 || v > 11)
        reject("Unexpected web page type type");
    return static_cast<WebPageRequest::enum_t>(v);
}

std::uint8_t webPageRequestToWire(std::int64_t request)
{
    if (request < 0 || request > 11)
        reject("Unexpected web page type type");
    return static_cast<std::uint8_t>(request);
}

join_failed_reason::enum_t joinFailedReasonFromWire(std::int64_t v)
{
    if (v < 1 || v > 5)
        reject("Unexpected join failed reason");
    return static_cast<join_failed_reason::enum_t>(v - 1);
}

tmnt_register_failed_reason::enum_t tournamentRegisterFailedReasonFromWire(std::int64_t v)
{
    if (v < 1 || v > 7)
        reject("Unexpected join failed reason");
    return static_cast<tmnt_register_failed_reason::enum_t>(v - 1);
}

kick_reason::enum_t kickReasonFromWire(std::int64_t v)
{
    if (v < 0 || v > 3)
        reject("Unexpected kick reason");
    return static_cast<kick_reason::enum_t>(v);
}

namespace {

/// The meld types in the order of their wire codes (0 chow .. 6 riichi): the
/// one table both directions read.
constexpr game_protocol::meld_type::enum_t meldWireOrder[] = {
    game_protocol::meld_type::CHOW,    game_protocol::meld_type::PONG,         game_protocol::meld_type::KONG,
    game_protocol::meld_type::MAHJONG, game_protocol::meld_type::PONG_TO_KONG, game_protocol::meld_type::PAIR,
    game_protocol::meld_type::RIICHI,
};

} // namespace

game_protocol::meld_type::enum_t meldTypeFromWire(std::int64_t v)
{
    if (v < 0 || v >= std::int64_t(std::size(meldWireOrder)))
        rejectValue("illegal meld value ", v);
    return meldWireOrder[v];
}

std::uint8_t meldTypeToWire(std::int64_t type)
{
    for (std::size_t code = 0; code < std::size(meldWireOrder); ++code)
        if (meldWireOrder[code] == type)
            return std::uint8_t(code);
    rejectValue("illegal meld value ", type);
}

game_protocol::meld_visibility::enum_t meldVisibilityFromWire(std::int64_t v)
{
    if (v < 0 || v > 2)
        rejectValue("illegal visibility ", v);
    return static_cast<game_protocol::meld_visibility::enum_t>(v);
}

game_protocol::wind::enum_t windFromWire(std::int64_t v)
{
    if (v < 0 || v > 3)
        rejectValue("illegal wind ", v);
    return static_cast<game_protocol::wind::enum_t>(v);
}

server_game_state::enum_t gameStateFromWire(std::int64_t v)
{
    if (v == 8)
        return server_game_state::INITIAL_STATE;
    if (v < 0 || v > 7)
        rejectValue("illegal game state ", v);
    return static_cast<server_game_state::enum_t>(v);
}

qint32 tournamentStatusFromWire(std::int64_t v)
{
    if (v < 0 || v > 6)
        rejectValue("illegal tournament status ", v);
    return static_cast<qint32>(v);
}

QString nameFromWire(const QString& text)
{
    QString name = text.size() > maxNameLength ? text.left(maxNameLength - 1) : text;
    if (name.size() < text.size()) {
        if (name.back().isHighSurrogate())
            name.chop(1);
        name += QChar(0x2026);
    }
    return singleLine(std::move(name));
}

namespace {

bool opensIsolate(QChar c)
{
    const QChar::Direction d = c.direction();
    return d == QChar::DirLRI || d == QChar::DirRLI || d == QChar::DirFSI;
}

/// The text without the direction controls that nothing closes, nor the
/// closers that close nothing of its own: what is left opens and closes
/// within the text. An embedding or override is closed by the next PDF
/// outside any isolate it opened; an isolate by the next PDI, together
/// with whatever opened inside it.
QString pairedDirections(const QString& text)
{
    QList<qsizetype> open; // positions of unclosed openers, innermost last
    QList<qsizetype> dropped;
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text.at(i).direction()) {
        case QChar::DirLRE:
        case QChar::DirRLE:
        case QChar::DirLRO:
        case QChar::DirRLO:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            open.append(i);
            break;
        case QChar::DirPDF:
            if (!open.isEmpty() && !opensIsolate(text.at(open.last())))
                open.removeLast();
            else
                dropped.append(i);
            break;
        case QChar::DirPDI: {
            const auto isolate = std::find_if(open.crbegin(), open.crend(),
                                              [&text](qsizetype at) { return opensIsolate(text.at(at)); });
            if (isolate == open.crend())
                dropped.append(i);
            else
                open.erase(std::prev(isolate.base()), open.end());
            break;
        }
        default:
            break;
        }
    }
    dropped += open;
    if (dropped.isEmpty())
        return text;
    std::sort(dropped.begin(), dropped.end());
    QString kept;
    kept.reserve(text.size() - dropped.size());
    qsizetype from = 0;
    for (const qsizetype at : std::as_const(dropped)) {
        kept += QStringView(text).sliced(from, at - from);
        from = at + 1;
    }
    kept += QStringView(text).sliced(from);
    return kept;
}

/// Whether the text holds anything that sets a direction other than left to
/// right: right-to-left letters or digits, or a direction control.
bool setsDirection(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirLRE:
        case QChar::DirRLE:
        case QChar::DirLRO:
        case QChar::DirRLO:
        case QChar::DirPDF:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            return false;
        }
    });
}

} // namespace

QString singleLine(QString text)
{
    for (QChar& c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return isolatedDirection(text);
}

QString isolatedDirection(const QString& text)
{
    if (!setsDirection(text))
        return text;
    // A text from outside is shown among the program's own words: it keeps
    // its direction to itself, so that a right-to-left override in a name
    // never turns the words after it around.
    return QChar(0x2068) + pairedDirections(text) + QChar(0x2069);
}

QDateTime serverTimeToDateTime(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    const qint64 rest = ms % 1000;
    // The seconds count is an unsigned 32-bit time_t as the server's clock gives it.
    const auto secs32 = static_cast<quint32>(seconds);
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(secs32), Qt::UTC).addMSecs(rest).toUTC();
}

TimeSpan timeSpanFromWire(const wire::time_span& span)
{
    return TimeSpan(serverTimeToDateTime(span.start), serverTimeToDateTime(span.end));
}

std::array<qint32, 4> parseBonusTable(const std::string& text)
{
    std::istringstream is(text);
    const auto skipSpaces = [&is] {
        while (is.good() && is.peek() == ' ')
            is.get();
    };
    const auto require = [&is](char wanted) {
        char ch = 0;
        if (!is.get(ch) || ch != wanted)
            is.setstate(std::ios::failbit);
    };

    std::array<int, 4> values{};
    skipSpaces();
    if (is.good())
        require('[');
    if (is.good())
        is >> values[0];
    for (int i = 1; i < 4; ++i) {
        if (!is.good())
            break;
        skipSpaces();
        if (is.good())
            require(',');
        if (is.good())
            is >> values[i];
    }
    if (is.good()) {
        skipSpaces();
        if (is.good())
            require(']');
    }
    if (!is.good())
        reject("Invalid bonus table format");
    // Summed wide so that extreme values cannot overflow into a false zero.
    const std::int64_t sum = std::int64_t(values[0]) + values[1] + values[2] + values[3];
    if (sum != 0)
        reject("Unbalanced bonus table from server");
    return {values[0], values[1], values[2], values[3]};
}

ClientConfig clientConfigFromWire(const wire::client_config& config)
{
    ClientConfig result;
    if (!config.xmppHost.empty())
        result.setXmppHost(QString::fromUtf8(config.xmppHost));
    if (!config.conferenceJid.empty())
        result.setConferenceJid(QString::fromUtf8(config.conferenceJid));
    if (!config.lobbyRoomJid.empty())
        result.setLobbyRoomJid(QString::fromUtf8(config.lobbyRoomJid));
    if (!config.searchJid.empty())
        result.setSearchJid(QString::fromUtf8(config.searchJid));
    return result;
}

HighscoreList highscoreListFromWire(const std::vector<wire::highscore_row>& rows)
{
    HighscoreList list;
    list.reserve(rows.size());
    for (const auto& row : rows)
        list.push_back({QString::fromUtf8(row.name), row.value});
    return list;
}

round_score_row roundScoreFromWire(std::int32_t pid, std::int32_t score, std::int32_t value)
{
    return {pid, score, value};
}

meld_tuple meldTupleFromWire(const wire::meld_record& record)
{
    meld_tuple m;
    m.type = meldTypeFromWire(record.type);
    m.visibility = meldVisibilityFromWire(record.visibility);
    m.meld_tile = tileFromWire(record.tile);
    m.extra = record.extra;
    m.extra_tile = tileFromWire(record.extraTile);
    return m;
}

meld_offer_vector meldOffersFromWire(const std::vector<wire::meld_offer>& offers)
{
    meld_offer_vector result;
    result.reserve(offers.size());
    for (const auto& offer : offers)
        result.push_back({meldTypeFromWire(offer.type), tileFromWire(offer.tile)});
    return result;
}

HighlightedTiles highlightedTilesFromWire(const wire::highlighted_tiles& item)
{
    if (item.index > item.tiles.size())
        rejectValue("illegal highlight index ", item.index);
    HighlightedTiles result;
    result.index = item.index;
    result.tiles.reserve(item.tiles.size());
    for (std::uint8_t code : item.tiles)
        result.tiles.push_back(tileFromWire(code));
    return result;
}

player_score playerScoreFromWire(const wire::score_record& record)
{
    player_score score;
    score.pid = record.pid;
    score.scoreType = scoreTypeFromWire(record.scoreType);
    for (const auto& [id, value] : record.points)
        score.points.append({scoreName(id, QT_TRANSLATE_NOOP("Scores", "UNKNOWN SCORE NAME")), value});
    for (const auto& [id, value] : record.doubles)
        score.doubles.append({scoreName(id, QT_TRANSLATE_NOOP("Scores", "UNKNOWN DOUBLE NAME")), value});
    for (const auto& [id, value] : record.limitHands)
        score.limitHands.append({scoreName(id, QT_TRANSLATE_NOOP("Scores", "UNKNOWN DOUBLE NAME")), value});
    score.pointsTotal = record.d;
    score.doublesTotal = record.e;
    score.limitHandsTotal = record.f;
    score.handScore = record.a;
    score.settlement = record.g;
    score.currentScore = record.b;
    score.payment = static_cast<qint32>(static_cast<std::uint32_t>(record.h));
    score.highlighted.reserve(record.highlighted.size());
    for (const auto& item : record.highlighted)
        score.highlighted.push_back(highlightedTilesFromWire(item));
    return score;
}

const char* scoreNameSource(int id)
{
    return id >= 0 && id < scoreNameCount ? scoreNames[id] : nullptr;
}
