#include "PlayerData.h"

#include "server_error.h"

#include <QDebug>

#include <algorithm>
#include <ostream>
#include <sstream>

PlayerData::PlayerData(qint32 id, const QString& name)
    : m_id(id)
    , m_name(name)
{
}

void PlayerData::setMelds(const meld_tuple_vector& melds)
{
    m_melds = melds;
    m_lastDrawn.clear();
}

void PlayerData::setDiscards(const tile_vector& discards, qint32 riichiDiscardIndex)
{
    m_discards = discards;
    m_riichiDiscardIndex = riichiDiscardIndex;
}

namespace {
void sortTiles(tile_vector& tiles)
{
    std::sort(tiles.begin(), tiles.end(), [](tile a, tile b) { return a.code() < b.code(); });
}
}

void PlayerData::setHandTiles(const tile_vector& tiles)
{
    m_handTiles = tiles;
    sortTiles(m_handTiles);
}

void PlayerData::addHandTiles(const tile_vector& tiles)
{
    m_handTiles.insert(m_handTiles.end(), tiles.begin(), tiles.end());
    sortTiles(m_handTiles);
    m_lastDrawn = tiles;
}

void PlayerData::addDiscard(tile t, bool riichi)
{
    if (riichi)
        m_riichiDiscardIndex = static_cast<qint32>(m_discards.size());
    m_discards.push_back(t);
    m_lastDrawn.clear();
}

void PlayerData::addMeld(game_protocol::meld_type::enum_t type, game_protocol::meld_visibility::enum_t visibility,
                         tile t, qint32 claimedFrom, tile claimedOffset)
{
    meld_tuple m;
    m.type = type;
    m.visibility = visibility;
    m.meld_tile = t;
    m.extra = claimedFrom;
    m.extra_tile = claimedOffset;
    addMeld(m);
}

void PlayerData::addMeld(const meld_tuple& meld)
{
    m_melds.push_back(meld);
    m_lastDrawn.clear();
}

tile PlayerData::takeLastDiscard()
{
    // The server claimed a discard that we never saw: refuse rather than
    // read past the end.
    if (m_discards.empty())
        throw server_error("player " + std::to_string(m_id) + " has no discard to take");
    const tile t = m_discards.back();
    m_discards.pop_back();
    return t;
}

void PlayerData::resetForHand()
{
    m_tileCount = 0;
    m_riichiDiscardIndex = -1;
    m_handTiles.clear();
    m_melds.clear();
    m_bonusTiles.clear();
    m_discards.clear();
    m_lastDrawn.clear();
    m_ready = false;
}

std::ostream& operator<<(std::ostream& out, const PlayerData& player)
{
    return out << "PlayerData { id:" << player.id() << " name:\"" << player.name().toStdString()
               << "\" wind:" << windDebugName(player.wind()) << " }";
}

QDebug operator<<(QDebug debug, const PlayerData& player)
{
    std::ostringstream text;
    text << player;
    QDebugStateSaver saver(debug);
    debug.noquote() << QString::fromStdString(text.str());
    return debug;
}
