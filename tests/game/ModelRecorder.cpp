#include "ModelRecorder.h"

#include <QObject>

QString tileText(tile t)
{
    return QString::number(int(t.code()));
}

QString tilesShort(const tile_vector& tiles)
{
    QStringList parts;
    for (const tile t : tiles)
        parts << tileText(t);
    return QLatin1Char('[') + parts.join(QLatin1Char(' ')) + QLatin1Char(']');
}

QString meldText(const meld_tuple& m)
{
    return QStringLiteral("{%1 %2 %3 %4 %5}")
        .arg(int(m.type))
        .arg(int(m.visibility))
        .arg(tileText(m.meld_tile))
        .arg(m.extra)
        .arg(int(m.extra_tile.code()));
}

namespace {
QString b(bool v)
{
    return v ? QStringLiteral("1") : QStringLiteral("0");
}
}

ModelRecorder::ModelRecorder(GameModel* model)
    : m_model(model)
{
    using M = GameModel;
    auto* m = model;
    QObject::connect(m, &M::modelReset, m, [this] { add("modelReset"); });
    QObject::connect(m, &M::gameStateChanged, m,
                     [this] { add(QStringLiteral("gameStateChanged %1").arg(int(m_model->gameState()))); });
    QObject::connect(m, &M::playerJoined, m,
                     [this](const PlayerData& p) { add(QStringLiteral("playerJoined %1").arg(p.id())); });
    QObject::connect(m, &M::playerLeft, m, [this](qint32 id) { add(QStringLiteral("playerLeft %1").arg(id)); });
    QObject::connect(m, &M::startHand, m, [this](bool nr) { add("startHand " + b(nr)); });
    QObject::connect(m, &M::tileClaimed, m, [this](qint32 from, qint32 by) {
        add(QStringLiteral("tileClaimed %1 %2").arg(from).arg(by));
    });
    QObject::connect(m, &M::tileDiscarded, m, [this](qint32 id, tile t, bool riichi) {
        add(QStringLiteral("tileDiscarded %1 %2 %3").arg(id).arg(tileText(t), b(riichi)));
    });
    QObject::connect(m, &M::hiddenTilesFromWall, m, [this](qint32 id, qint32 n, bool dead) {
        add(QStringLiteral("hiddenTilesFromWall %1 %2 %3").arg(id).arg(n).arg(b(dead)));
    });
    QObject::connect(m, &M::meldDeclared, m, [this](qint32 id, const meld_tuple& meld) {
        add(QStringLiteral("meldDeclared %1 %2").arg(id).arg(meldText(meld)));
    });
    QObject::connect(m, &M::tilesFromWall, m, [this](qint32 id, const tile_vector& tiles, bool dead) {
        add(QStringLiteral("tilesFromWall %1 %2 %3").arg(id).arg(tilesShort(tiles), b(dead)));
    });
    QObject::connect(m, &M::bonusDeclared, m, [this](qint32 id, const tile_vector& tiles) {
        add(QStringLiteral("bonusDeclared %1 %2").arg(id).arg(tilesShort(tiles)));
    });
    QObject::connect(m, &M::playerShouldAct, m,
                     [this](qint32 id, const TimeSpan&) { add(QStringLiteral("playerShouldAct %1").arg(id)); });
    QObject::connect(m, &M::privatePlayerData, m, [this](const PrivatePlayerData& d) {
        add(QStringLiteral("privatePlayerData %1 %2 %3").arg(tilesShort(d.hand), b(d.active), b(d.furiten)));
    });
    QObject::connect(m, &M::kanDora, m, [this](tile t) { add("kanDora " + tileText(t)); });
    QObject::connect(m, &M::furitenChanged, m, [this](bool v) { add("furitenChanged " + b(v)); });
    QObject::connect(m, &M::activeChanged, m, [this](bool v) { add("activeChanged " + b(v)); });
    QObject::connect(m, qOverload<const TableInfo&>(&M::tableInfo), m, [this](const TableInfo&) { add("tableInfo"); });
    QObject::connect(m, qOverload<const TournamentInfo&>(&M::tournamentInfo), m, [this](const TournamentInfo&) { add("tournamentInfo"); });
    QObject::connect(m, &M::handEndNonScoring, m, [this](endhand_reason_t r, bool end) {
        add(QStringLiteral("handEndNonScoring %1 %2").arg(int(r)).arg(b(end)));
    });
    QObject::connect(m, &M::handEndScoring, m,
                     [this](const std::map<qint32, player_score>& scores, endhand_reason_t r, bool end) {
                         QStringList ids;
                         for (const auto& entry : scores)
                             ids << QString::number(entry.first);
                         add(QStringLiteral("handEndScoring [%1] %2 %3").arg(ids.join(' ')).arg(int(r)).arg(b(end)));
                     });
    QObject::connect(m, &M::endOfTournamentRound, m, [this](bool last, const TournamentRoundScores& s) {
        add(QStringLiteral("endOfTournamentRound %1 %2").arg(b(last)).arg(s.size()));
    });
    QObject::connect(m, &M::tournamentRankings, m, [this](const TournamentRankings& r) {
        add(QStringLiteral("tournamentRankings %1").arg(r.size()));
    });
    QObject::connect(m, &M::tournamentRoundEnded, m,
                     [this](qint32 id) { add(QStringLiteral("tournamentRoundEnded %1").arg(id)); });
    QObject::connect(m, &M::areYouReady, m,
                     [this](const TimeSpan&, bool seated) { add("areYouReady " + b(seated)); });
    QObject::connect(m, &M::playerIsReady, m,
                     [this](qint32 id) { add(QStringLiteral("playerIsReady %1").arg(id)); });
    QObject::connect(m, &M::playerStateChanged, m, [this](GameModel::player_state_t s) {
        add(QStringLiteral("playerStateChanged ") + GameModel::playerStateName(s));
    });
    QObject::connect(m, &M::seatsRemainingChanged, m,
                     [this](int n) { add(QStringLiteral("seatsRemainingChanged %1").arg(n)); });
    QObject::connect(m, &M::joinableChanged, m, [this](bool v) { add("joinableChanged " + b(v)); });
    QObject::connect(m, &M::playerSeated, m, [this](qint32 id, qint32 table, bool fromData) {
        add(QStringLiteral("playerSeated %1 %2 %3").arg(id).arg(table).arg(b(fromData)));
    });
    QObject::connect(m, &M::playerUnseated, m, [this](qint32 id, qint32 table) {
        add(QStringLiteral("playerUnseated %1 %2").arg(id).arg(table));
    });
}

QStringList ModelRecorder::take()
{
    QStringList out;
    out.swap(m_lines);
    return out;
}

void ModelRecorder::add(const QString& line)
{
    m_lines << line;
    if (onLine)
        onLine(line);
}
