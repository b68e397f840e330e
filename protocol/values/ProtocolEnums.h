#pragma once

// The client's own enumerations of server values. The wire numbering differs
// in places; ProtocolValues.h converts.

#include <QMetaType>

#include <cstdint>

namespace platform_protocol {

namespace join_response_status {
/// Status byte of a join response (class 31).
enum enum_t : std::int32_t { JOIN_OK = 0, JOIN_FAILED = 1, JOIN_DENIED = 2 };
}

namespace join_failed_reason {
enum enum_t : std::int32_t {
    JOIN_ERROR = 0,
    TABLE_FULL = 1,
    TABLE_IN_PLAY = 2,
    NOT_ENOUGH_MONEY = 3,
    SAME_IP_ADDRESS = 4, ///< a player with the same IP address has already joined
};
}

namespace tmnt_register_failed_reason {
enum enum_t : std::int32_t {
    FAILED = 0,
    DENIED = 1,
    INSUFFICIENT_FUNDS = 2,
    TOURNAMENT_FULL = 3,
    ACCESS_DENIED = 4,
    ALREADY_REGISTERED = 5,
    TOURNAMENT_RUNNING = 6,
};
}

namespace kick_reason {
/// Why the server removed the player from a table; 3 is followed by a watch.
enum enum_t : std::int32_t { KICK_REASON_0 = 0, KICK_REASON_1 = 1, KICK_REASON_2 = 2, KICK_REASON_3 = 3 };
}

} // namespace platform_protocol

namespace game_protocol {
namespace server_game_state {
enum enum_t : std::int32_t {
    INITIAL_STATE = 0,
    START_HAND_STATE = 1,
    DECLARING_BONUS_TILES_STATE = 2,
    TILE_CLAIMED_STATE = 3,
    TILE_DISCARDED_STATE = 4,
    ROBBING_THE_KONG_STATE = 5,
    HAND_ENDED_STATE = 6,
    UNNAMED_STATE_7 = 7,
};
}
}

// The rest of the program names these without their protocol namespace.
namespace join_response_status = platform_protocol::join_response_status;
namespace join_failed_reason = platform_protocol::join_failed_reason;
namespace tmnt_register_failed_reason = platform_protocol::tmnt_register_failed_reason;
namespace kick_reason = platform_protocol::kick_reason;
namespace server_game_state = game_protocol::server_game_state;

/// Pages whose address the client asks the server for.
namespace WebPageRequest {
enum enum_t : std::int32_t {
    REGISTERED = 0,      ///< shown after an account was registered in this run
    ACCOUNT = 1,         ///< deposits, hand history
    CREATE_ACCOUNT = 2,
    START_PAGE = 3,
    HOWTO = 4,
    SUPPORT = 5,
    HELP = 6,
    RULES_CLASSIC = 7,
    RULES_INTERNATIONAL = 8,
    RULES_RIICHI = 9,
    CREATE_ACCOUNT_TERMS = 10,
    PASSWORD_RESET = 11,
};
}

/// How a hand ended: 1, 2, 3, 5 for hands with a score; 4 to 9 for hands without.
enum endhand_reason_t : std::int32_t {
    ENDHAND_REASON_1 = 1,
    ENDHAND_REASON_2 = 2,
    ENDHAND_REASON_3 = 3,
    ENDHAND_REASON_4 = 4,
    ENDHAND_REASON_5 = 5,
    ENDHAND_REASON_6 = 6,
    ENDHAND_REASON_7 = 7,
    ENDHAND_REASON_8 = 8,
    ENDHAND_REASON_9 = 9,
};

/// Name of a join response status for messages ("JOIN_OK", "JOIN_FAILED",
/// "JOIN_DENIED"; "<unknown>" otherwise).
const char* joinResponseStatusName(int status);

Q_DECLARE_METATYPE(platform_protocol::join_failed_reason::enum_t)
Q_DECLARE_METATYPE(platform_protocol::tmnt_register_failed_reason::enum_t)
Q_DECLARE_METATYPE(platform_protocol::kick_reason::enum_t)
Q_DECLARE_METATYPE(game_protocol::server_game_state::enum_t)
Q_DECLARE_METATYPE(WebPageRequest::enum_t)
Q_DECLARE_METATYPE(endhand_reason_t)
