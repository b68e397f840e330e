#include "GameModelChecks.h"

#include "GameLog.h"
#include "PlayerData.h"

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

tile_vector placeableDora(qint32 tableId, const char* event, const tile_vector& dora)
{
    tile_vector placeable;
    placeable.reserve(dora.size());
    for (const tile t : dora) {
        if (t.isValid())
            placeable.push_back(t);
        else
            dropEvent(tableId, event, QStringLiteral("unknown dora tile code %1").arg(int(t.code())));
    }
    return placeable;
}

QString checkPlayerRecord(const PlayerData& player)
{
    const QString who = QStringLiteral("player %1: ").arg(player.id());
    if (player.wind() < 0 || player.wind() > 3)
        return who + QStringLiteral("unknown wind %1").arg(int(player.wind()));
    if (player.tileCount() < 0)
        return who + QStringLiteral("negative tile count %1").arg(player.tileCount());
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

QString tilesText(const tile_vector& tiles)
{
    std::ostringstream text;
    text << tiles;
    return QString::fromStdString(text.str());
}

void dropEvent(qint32 tableId, const char* event, const QString& why)
{
    qCWarning(lcGame).noquote() << QStringLiteral("table %1: dropped %2 from the server: %3")
                                       .arg(tableId)
                                       .arg(QLatin1String(event), why);
}
