#pragma once

/// Where the claimed tile of a declared meld came from, seen from the player
/// who claimed it. The table window works it out from the players' winds,
/// the declared-melds view turns the tile that lies at that end of the row.
enum class ClaimedFrom {
    None,   ///< nothing claimed (a concealed meld, or the discarder is not known)
    Left,   ///< the player before the claimant in turn order: the row's start
    Across, ///< the player opposite: the row's middle
    Right,  ///< the player after the claimant: the row's end
};
