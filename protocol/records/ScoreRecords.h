#pragma once

#include "tile.h"

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

#include <cstdint>
#include <vector>

/// A group of tiles on the score board with one of them highlighted; the
/// index may equal the tile count (nothing highlighted).
struct HighlightedTiles
{
    tile_vector tiles;
    std::uint8_t index = 0;

    friend bool operator==(const HighlightedTiles&, const HighlightedTiles&) = default;
};

/// One named scoring element and its value; a name the protocol decodes is
/// the untranslated source text of context "Scores".
using ScoreItem = QPair<QString, qint32>;

/// The end-of-hand score of one player.
struct player_score
{
    qint32 pid = 0;
    QString name;
    qint32 scoreType = 0;
    QList<ScoreItem> points;
    QList<ScoreItem> doubles;
    QList<ScoreItem> limitHands;
    qint32 pointsTotal = 0;
    qint32 doublesTotal = 0;
    qint32 limitHandsTotal = 0;
    qint32 handScore = 0;
    qint32 settlement = 0;
    qint32 currentScore = 0;
    qint32 payment = 0;
    std::vector<HighlightedTiles> highlighted;

    friend bool operator==(const player_score&, const player_score&) = default;
};

/// One row of the high-score list.
struct HighscoreEntry
{
    QString name;
    qint64 value = 0;

    friend bool operator==(const HighscoreEntry&, const HighscoreEntry&) = default;
};
using HighscoreList = std::vector<HighscoreEntry>;

/// A round-score row as the server sends it: player id and two values (round
/// score and wins at a table; round score and a signed amount in tournaments).
struct round_score_row
{
    qint32 pid = 0;
    qint32 score = 0;
    qint32 value = 0;

    friend bool operator==(const round_score_row&, const round_score_row&) = default;
};

Q_DECLARE_METATYPE(HighlightedTiles)
Q_DECLARE_METATYPE(player_score)
Q_DECLARE_METATYPE(HighscoreList)
