#include "meld.h"

#include <ostream>

const char* meldTypeName(std::int32_t code)
{
    using namespace game_protocol::meld_type;
    switch (code) {
    case CHOW:
        return "CHOW";
    case PONG:
        return "PONG";
    case PONG_TO_KONG:
        return "PONG TO KONG";
    case KONG:
        return "KONG";
    case MAHJONG:
        return "MAHJONG";
    case PAIR:
        return "PAIR";
    default:
        return "UNKNOWN";
    }
}

std::ostream& operator<<(std::ostream& os, const meld_tuple& m)
{
    return os << "Meld<" << meldTypeName(m.type) << " " << m.meld_tile << " concealed:" << static_cast<int>(m.visibility)
              << ">";
}

std::ostream& operator<<(std::ostream& os, const meld_tuple_vector& melds)
{
    os << "Melds<";
    bool first = true;
    for (const meld_tuple& m : melds) {
        if (!first)
            os << ",";
        os << m;
        first = false;
    }
    return os << ">";
}
