#pragma once

#include "tile.h"

/// Removes the first tile equal to t. When the vector holds no such tile it
/// throws server_error "to_erase != t1.end()": the server named a tile that
/// the hand does not hold.
void eraseOneTile(tile_vector& tiles, tile t);

/// eraseOneTile for each tile of toErase, in order. Tiles before a failing
/// one are already removed when it throws; callers work on a copy.
void eraseTiles(tile_vector& tiles, const tile_vector& toErase);

/// True when every tile of wanted can be taken out of tiles (with repeats
/// counted).
bool holdsTiles(const tile_vector& tiles, const tile_vector& wanted);
