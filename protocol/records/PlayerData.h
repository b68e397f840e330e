#pragma once

#include "meld.h"
#include "tile.h"
#include "wind.h"

#include <QMetaType>
#include <QString>

#include <iosfwd>
#include <vector>

class QDebug;

/// One player at a table, as the server reports it with a table snapshot or a
/// player joining, and as the game table keeps it while a hand is played.
class PlayerData
{
public:
    PlayerData() = default;
    PlayerData(qint32 id, const QString& name);

    qint32 id() const { return m_id; }
    qint32 tileCount() const { return m_tileCount; }
    game_protocol::wind::enum_t wind() const { return m_wind; }
    const QString& name() const { return m_name; }
    const meld_tuple_vector& melds() const { return m_melds; }
    const tile_vector& bonusTiles() const { return m_bonusTiles; }
    const tile_vector& discards() const { return m_discards; }
    const tile_vector& handTiles() const { return m_handTiles; }
    /// The tiles most recently added to the hand from the wall; cleared by the
    /// next discard or meld.
    const tile_vector& lastDrawn() const { return m_lastDrawn; }
    /// Index in discards() of the riichi discard, -1 when none.
    qint32 riichiDiscardIndex() const { return m_riichiDiscardIndex; }
    qint32 roundScore() const { return m_roundScore; }
    qint32 wins() const { return m_wins; }
    bool ready() const { return m_ready; }
    bool active() const { return m_active; }
    bool furiten() const { return m_furiten; }
    /// Set by the game table once it has announced the player as seated.
    bool seated() const { return m_seated; }

    void setName(const QString& name) { m_name = name; }
    void setTileCount(qint32 count) { m_tileCount = count; }
    void setWind(game_protocol::wind::enum_t wind) { m_wind = wind; }
    void setRoundScore(qint32 score) { m_roundScore = score; }
    void setWins(qint32 wins) { m_wins = wins; }
    void setReady(bool ready) { m_ready = ready; }
    void setActive(bool active) { m_active = active; }
    void setFuriten(bool furiten) { m_furiten = furiten; }
    void setSeated(bool seated) { m_seated = seated; }

    /// Replaces the melds and clears lastDrawn().
    void setMelds(const meld_tuple_vector& melds);
    void setBonusTiles(const tile_vector& tiles) { m_bonusTiles = tiles; }
    /// Replaces the discards and the riichi discard index.
    void setDiscards(const tile_vector& discards, qint32 riichiDiscardIndex);
    /// Replaces the hand and sorts it by tile code.
    void setHandTiles(const tile_vector& tiles);
    void setLastDrawn(const tile_vector& tiles) { m_lastDrawn = tiles; }

    /// Appends tiles to the hand, sorts it, and makes them the last drawn tiles.
    void addHandTiles(const tile_vector& tiles);
    /// Appends a discard; with riichi set, it becomes the riichi discard.
    /// Clears lastDrawn().
    void addDiscard(tile t, bool riichi);
    /// Appends a meld of these five values and clears lastDrawn().
    void addMeld(game_protocol::meld_type::enum_t type, game_protocol::meld_visibility::enum_t visibility, tile t,
                 qint32 claimedFrom, tile claimedOffset);
    void addMeld(const meld_tuple& meld);
    /// Removes and returns the last discard. Throws server_error when there is none.
    tile takeLastDiscard();
    /// Clears what belongs to one hand; id, wind, name, scores, wins and the
    /// active, furiten and seated flags stay.
    void resetForHand();

    friend bool operator==(const PlayerData&, const PlayerData&) = default;

private:
    qint32 m_id = 0;
    qint32 m_tileCount = 0;
    game_protocol::wind::enum_t m_wind = game_protocol::wind::EAST;
    QString m_name;
    meld_tuple_vector m_melds;
    tile_vector m_bonusTiles;
    tile_vector m_discards;
    tile_vector m_handTiles;
    tile_vector m_lastDrawn;
    qint32 m_riichiDiscardIndex = -1;
    qint32 m_roundScore = 0;
    qint32 m_wins = 0;
    bool m_ready = false;
    bool m_active = true;
    bool m_furiten = false;
    bool m_seated = false;
};

/// "PlayerData { id:7 name:\"anna\" wind:EAST }"
std::ostream& operator<<(std::ostream& out, const PlayerData& player);
QDebug operator<<(QDebug debug, const PlayerData& player);

Q_DECLARE_METATYPE(PlayerData)
Q_DECLARE_METATYPE(std::vector<PlayerData>)
