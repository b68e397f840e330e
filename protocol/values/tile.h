#pragma once

#include <QMetaType>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class QString;

/// One mahjong tile as the server names it: codes 0-8 bamboo 1-9, 9-17
/// character 1-9, 18-26 circle 1-9, 27-30 the winds east to north, 31-33 the
/// green, red and white dragon, 34-37 the four flowers, 38-41 the four
/// seasons, and 0xFF for a tile whose face this client may not see.
class tile
{
public:
    static constexpr std::uint8_t concealedCode = 0xFF;
    static constexpr std::uint8_t lastCode = 41;

    /// Suit numbers. Note that dragons come before winds although the wind
    /// codes come before the dragon codes.
    enum suit_t { BAMBOO = 0, CHARACTER = 1, CIRCLE = 2, DRAGON = 3, WIND = 4, FLOWER = 5, SEASON = 6 };

    constexpr tile() = default;
    constexpr tile(std::uint8_t code) // NOLINT: a tile is its byte, on the wire and in code
        : m_code(code)
    {
    }

    constexpr std::uint8_t code() const { return m_code; }
    constexpr operator std::uint8_t() const { return m_code; }

    /// True for the codes 0-41 and the concealed tile.
    constexpr bool isValid() const { return m_code <= lastCode || m_code == concealedCode; }
    constexpr bool isConcealed() const { return m_code == concealedCode; }

    /// Suit as above. Codes outside 0-37 (seasons, the concealed tile and
    /// unknown codes) all give 6.
    int suit() const;
    /// Rank within the suit, from 1; -1 for any byte outside 0-41.
    int rank() const;

private:
    std::uint8_t m_code = concealedCode;
};

using tile_vector = std::vector<tile>;

/// Converts a tile byte received from the server; anything other than 0-41
/// and 0xFF throws server_error("illegal tile value N").
tile tileFromWire(std::uint8_t code);

tile_vector pongTiles(tile t);
tile_vector kongTiles(tile t);
/// t, t+1, t+2 by code.
tile_vector chowTiles(tile t);

/// Upper-case debug text for the log, e.g. "EAST WIND", "BAMBOO 7", "CONCEALED".
std::string tileToString(tile t);
std::ostream& operator<<(std::ostream& os, const tile& t);
/// The tiles' debug texts separated by ",".
std::ostream& operator<<(std::ostream& os, const tile_vector& tiles);

/// Translated name for the user (context "Mahjong"), e.g. "Bamboo 7".
QString tileDisplayName(tile t);

Q_DECLARE_METATYPE(tile)
Q_DECLARE_METATYPE(tile_vector)
