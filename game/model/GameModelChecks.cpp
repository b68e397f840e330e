#include "GameModelChecks.h"

#include "DropLog.h"
#include "PlayerData.h"
#include "ScoreRecords.h"

#include <array>
#include <sstream>

QString checkTiles(const tile_vector& tiles)
{
    for (const tile t : tiles) {
        if (!isKnownTile(t))
            return QStringLiteral("unknown tile code %1").arg(int(t.code()));
    }
    return {};
}

bool isPlaceableMeldTile(tile t, int visibility)
{
    return isKnownTile(t) || (t.isConcealed() && visibility == game_protocol::meld_visibility::VISIBILITY_2);
}

tile_vector placeableDora(DropLog& drops, const char* event, const tile_vector& dora)
{
    // One line for what is left out, however long the list.
    tile_vector placeable;
    std::size_t unknown = 0, past = 0;
    int firstUnknown = 0;
    for (const tile t : dora) {
        if (!t.isValid()) {
            if (unknown++ == 0)
                firstUnknown = t.code();
        } else if (placeable.size() < std::size_t(maxDora)) {
            placeable.push_back(t);
        } else {
            ++past;
        }
    }
    if (unknown > 0)
        dropEvent(drops, event, QStringLiteral("unknown dora tile code %1 (%2 unknown)").arg(firstUnknown).arg(unknown));
    if (past > 0)
        dropEvent(drops, event, QStringLiteral("%1 dora tiles past the %2 of a hand").arg(past).arg(maxDora));
    return placeable;
}

namespace {
bool isSet(game_protocol::meld_type::enum_t type)
{
    using namespace game_protocol;
    return type == meld_type::CHOW || type == meld_type::PONG || type == meld_type::KONG;
}
}

int meldCount(const PlayerData& player)
{
    return int(std::count_if(player.melds().begin(), player.melds().end(), [](const meld_tuple& m) { return isSet(m.type); }));
}

int meldRecordCount(const PlayerData& player)
{
    return int(std::count_if(player.melds().begin(), player.melds().end(),
                             [](const meld_tuple& m) { return m.type != bonusMeldType; }));
}

QString checkMeldRoom(const PlayerData& player, game_protocol::meld_type::enum_t type)
{
    // Extending a pong to a kong adds no record.
    if (type == game_protocol::meld_type::PONG_TO_KONG)
        return {};
    if (isSet(type) && meldCount(player) >= maxMelds)
        return QStringLiteral("player %1 has declared its %2 melds").arg(player.id()).arg(maxMelds);
    if (meldRecordCount(player) >= maxMeldRecords)
        return QStringLiteral("player %1 has its %2 meld records").arg(player.id()).arg(maxMeldRecords);
    return {};
}

int bonusTileCount(const PlayerData& player)
{
    // A tile of the snapshot's list that a laid-aside record also names is
    // shown once.
    std::array<int, 256> laid{};
    std::array<int, 256> listed{};
    for (const meld_tuple& m : player.melds())
        if (m.type == bonusMeldType)
            ++laid[m.meld_tile.code()];
    for (const tile t : player.bonusTiles())
        ++listed[t.code()];
    int shown = 0;
    for (std::size_t code = 0; code < laid.size(); ++code)
        shown += std::max(laid[code], listed[code]);
    return shown;
}

QString checkPlayerRecord(const PlayerData& player, int maxPond)
{
    const QString who = QStringLiteral("player %1: ").arg(player.id());
    if (player.wind() < 0 || player.wind() > 3)
        return who + QStringLiteral("unknown wind %1").arg(int(player.wind()));
    if (player.tileCount() < 0 || player.tileCount() > maxHandTiles)
        return who + QStringLiteral("tile count %1 outside 0 to %2").arg(player.tileCount()).arg(maxHandTiles);
    if (player.handTiles().size() > std::size_t(maxHandTiles))
        return who + QStringLiteral("%1 concealed tiles, past the %2 of a hand")
                         .arg(player.handTiles().size())
                         .arg(maxHandTiles);
    if (player.discards().size() > std::size_t(maxPond))
        return who + QStringLiteral("%1 discards, past the wall's %2").arg(player.discards().size()).arg(maxPond);
    if (const int melds = meldCount(player); melds > maxMelds)
        return who + QStringLiteral("%1 melds, past the %2 of a hand").arg(melds).arg(maxMelds);
    if (const int records = meldRecordCount(player); records > maxMeldRecords)
        return who + QStringLiteral("%1 meld records, past the %2 of a hand").arg(records).arg(maxMeldRecords);
    if (const int bonus = bonusTileCount(player); bonus > maxBonusTiles)
        return who + QStringLiteral("%1 bonus tiles, past the %2 of a hand").arg(bonus).arg(maxBonusTiles);
    for (const tile_vector* tiles : {&player.discards(), &player.bonusTiles(), &player.handTiles()}) {
        if (const QString why = checkTiles(*tiles); !why.isEmpty())
            return who + why;
    }
    for (const meld_tuple& m : player.melds()) {
        if (!isPlaceableMeldTile(m.meld_tile, m.visibility))
            return who + QStringLiteral("meld with unknown tile code %1").arg(int(m.meld_tile.code()));
    }
    // A claimed riichi discard leaves the index one past the last discard:
    // the player's next discard is turned instead.
    const qint32 riichi = player.riichiDiscardIndex();
    if (riichi < -1 || riichi > static_cast<qint32>(player.discards().size()))
        return who + QStringLiteral("riichi discard index %1 outside its %2 discards")
                         .arg(riichi)
                         .arg(player.discards().size());
    return {};
}

player_score handScore(DropLog& drops, const player_score& score)
{
    // Each item is a scoring element the hand's tiles earn: a hand earns no
    // more of them than it holds tiles.
    constexpr qsizetype maxItems = maxScoreTiles;
    player_score held = score;
    QStringList cut;
    for (auto [list, name] : {std::pair(&held.points, "points"), std::pair(&held.doubles, "doubles"),
                              std::pair(&held.limitHands, "limit hands")}) {
        if (list->size() <= maxItems)
            continue;
        cut << QStringLiteral("%1 of its %2 %3")
                   .arg(list->size() - maxItems)
                   .arg(list->size())
                   .arg(QLatin1String(name));
        *list = list->first(maxItems);
    }
    // The groups are read only as far as a hand's tiles go.
    std::size_t groups = 0;
    qsizetype tiles = 0;
    while (groups < held.highlighted.size() && groups < std::size_t(maxScoreTiles)) {
        tiles += qsizetype(held.highlighted[groups].tiles.size());
        if (tiles > maxScoreTiles)
            break;
        ++groups;
    }
    if (groups < held.highlighted.size()) {
        cut << QStringLiteral("%1 of its %2 tile groups")
                   .arg(held.highlighted.size() - groups)
                   .arg(held.highlighted.size());
        held.highlighted.resize(groups);
    }
    if (!cut.isEmpty())
        dropEvent(drops, "part of a hand score",
                  QStringLiteral("player %1: %2, past the %3 tiles of a hand")
                      .arg(score.pid)
                      .arg(cut.join(QStringLiteral(", ")))
                      .arg(maxScoreTiles));
    return held;
}

QString tilesText(const tile_vector& tiles)
{
    std::ostringstream text;
    text << tiles;
    return QString::fromStdString(text.str());
}

void dropEvent(DropLog& drops, const char* event, const QString& why)
{
    drops.drop(event, why);
}
