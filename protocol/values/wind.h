#pragma once

#include <QMetaType>

#include <cstdint>

class QString;

namespace game_protocol {
namespace wind {
enum enum_t : std::int32_t { EAST = 0, SOUTH = 1, WEST = 2, NORTH = 3 };
}
}

/// "EAST", "SOUTH", "WEST", "NORTH"; "<undefined>" for anything else.
const char* windDebugName(int wind);
/// Seats seen from the own seat: "BOTTOM", "RIGHT", "TOP", "LEFT"; "<undefined>" otherwise.
const char* relativePositionName(int seat);
/// Translated "East" ... "North" (context "Mahjong"). Other values give an empty text.
QString windDisplayName(int wind);
/// Translated "Prevalent wind: East" ... (context "Mahjong"). Other values give an empty text.
QString prevalentWindText(int wind);

Q_DECLARE_METATYPE(game_protocol::wind::enum_t)
