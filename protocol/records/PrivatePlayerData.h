#pragma once

#include "tile.h"

#include <QMetaType>

/// The own player's concealed hand with the active and furiten flags, as the
/// server sends them to the seated player only.
struct PrivatePlayerData
{
    tile_vector hand;
    bool active = true;
    bool furiten = false;

    friend bool operator==(const PrivatePlayerData&, const PrivatePlayerData&) = default;
};

Q_DECLARE_METATYPE(PrivatePlayerData)
