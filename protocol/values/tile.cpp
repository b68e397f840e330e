#include "tile.h"

#include "server_error.h"

#include <QCoreApplication>
#include <QString>

#include <ostream>
#include <sstream>

int tile::suit() const
{
    // Compared as a signed byte: the concealed tile (0xFF = -1) and everything
    // from 38 up land in the last bucket.
    const auto c = static_cast<std::int8_t>(m_code);
    if (c >= 0 && c <= 8)
        return BAMBOO;
    if (c >= 9 && c <= 17)
        return CHARACTER;
    if (c >= 18 && c <= 26)
        return CIRCLE;
    if (c >= 27 && c <= 30)
        return WIND;
    if (c >= 31 && c <= 33)
        return DRAGON;
    if (c >= 34 && c <= 37)
        return FLOWER;
    return SEASON;
}

int tile::rank() const
{
    const int c = m_code;
    if (c <= 8)
        return c + 1;
    if (c <= 17)
        return c - 8;
    if (c <= 26)
        return c - 17;
    if (c <= 30)
        return c - 26;
    if (c <= 33)
        return c - 30;
    if (c <= 37)
        return c - 33;
    if (c <= 41)
        return c - 37;
    return -1;
}

tile tileFromWire(std::uint8_t code)
{
    const tile t(code);
    if (!t.isValid())
        throw server_error("illegal tile value " + std::to_string(code));
    return t;
}

tile_vector pongTiles(tile t)
{
    return tile_vector(3, t);
}

tile_vector kongTiles(tile t)
{
    return tile_vector(4, t);
}

tile_vector chowTiles(tile t)
{
    const auto c = t.code();
    return {tile(c), tile(static_cast<std::uint8_t>(c + 1)), tile(static_cast<std::uint8_t>(c + 2))};
}

std::string tileToString(tile t)
{
    static const char* const winds[] = {"EAST", "SOUTH", "WEST", "NORTH"};
    static const char* const dragons[] = {"GREEN", "RED", "WHITE"};
    static const char* const seasons[] = {"SPRING", "SUMMER", "AUTUMN", "WINTER"};
    static const char* const flowers[] = {"PLUM BLOSSOM", "ORCHID", "CHRYSANTHEMUM", "BAMBOO"};
    static const char* const suits[] = {"BAMBOO", "CHARACTER", "CIRCLE"};

    if (t.isConcealed())
        return "CONCEALED";
    const int rank = t.rank();
    if (rank < 1) // an unknown byte: no name of its own
        return "TILE " + std::to_string(t.code());
    switch (t.suit()) {
    case tile::WIND:
        return std::string(winds[rank - 1]) + " WIND";
    case tile::DRAGON:
        return std::string(dragons[rank - 1]) + " DRAGON";
    case tile::SEASON:
        return seasons[rank - 1];
    case tile::FLOWER:
        return flowers[rank - 1];
    default:
        return std::string(suits[t.suit()]) + " " + std::to_string(rank);
    }
}

std::ostream& operator<<(std::ostream& os, const tile& t)
{
    return os << tileToString(t);
}

std::ostream& operator<<(std::ostream& os, const tile_vector& tiles)
{
    bool first = true;
    for (const tile& t : tiles) {
        if (!first)
            os << ",";
        os << t;
        first = false;
    }
    return os;
}

QString tileDisplayName(tile t)
{
    static const char* const dragons[] = {QT_TRANSLATE_NOOP("Mahjong", "Green Dragon"),
                                          QT_TRANSLATE_NOOP("Mahjong", "Red Dragon"),
                                          QT_TRANSLATE_NOOP("Mahjong", "White Dragon")};
    static const char* const winds[] = {QT_TRANSLATE_NOOP("Mahjong", "East Wind"), QT_TRANSLATE_NOOP("Mahjong", "South Wind"),
                                        QT_TRANSLATE_NOOP("Mahjong", "West Wind"), QT_TRANSLATE_NOOP("Mahjong", "North Wind")};
    static const char* const seasons[] = {QT_TRANSLATE_NOOP("Mahjong", "Spring"), QT_TRANSLATE_NOOP("Mahjong", "Summer"),
                                          QT_TRANSLATE_NOOP("Mahjong", "Autumn"), QT_TRANSLATE_NOOP("Mahjong", "Winter")};
    static const char* const flowers[] = {QT_TRANSLATE_NOOP("Mahjong", "Plum blossom"), QT_TRANSLATE_NOOP("Mahjong", "Orchid"),
                                          QT_TRANSLATE_NOOP("Mahjong", "Chrysanthemum"), QT_TRANSLATE_NOOP("Mahjong", "Bamboo")};
    static const char* const suits[] = {QT_TRANSLATE_NOOP("Mahjong", "Bamboo"), QT_TRANSLATE_NOOP("Mahjong", "Character"),
                                        QT_TRANSLATE_NOOP("Mahjong", "Circle")};
    const auto tr = [](const char* text) { return QCoreApplication::translate("Mahjong", text); };

    if (t.isConcealed())
        return tr(QT_TRANSLATE_NOOP("Mahjong", "Concealed"));
    const int rank = t.rank();
    if (rank < 1)
        return QString::number(t.code());
    switch (t.suit()) {
    case tile::DRAGON:
        return tr(dragons[rank - 1]);
    case tile::WIND:
        return tr(winds[rank - 1]);
    case tile::SEASON:
        //: Season and number, e.g. Winter 2
        return QCoreApplication::translate("Mahjong", "%1 %L2", "Season and number, e.g. Winter 2")
            .arg(tr(seasons[rank - 1]))
            .arg(rank);
    case tile::FLOWER:
        return QCoreApplication::translate("Mahjong", "%1 %L2", "Flower and number, e.g. Orchid 3")
            .arg(tr(flowers[rank - 1]))
            .arg(rank);
    default:
        return QCoreApplication::translate("Mahjong", "%1 %L2", "Suit and number, e.g. Bamboo 7")
            .arg(tr(suits[t.suit()]))
            .arg(rank);
    }
}
