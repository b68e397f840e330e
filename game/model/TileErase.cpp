#include "TileErase.h"

#include "server_error.h"

#include <algorithm>

void eraseOneTile(tile_vector& tiles, tile t)
{
    const auto toErase = std::find(tiles.begin(), tiles.end(), t);
    if (toErase == tiles.end())
        throw server_error("to_erase != t1.end()");
    tiles.erase(toErase);
}

void eraseTiles(tile_vector& tiles, const tile_vector& toErase)
{
    for (const tile t : toErase)
        eraseOneTile(tiles, t);
}

bool holdsTiles(const tile_vector& tiles, const tile_vector& wanted)
{
    int counts[256] = {};
    for (const tile t : tiles)
        ++counts[t.code()];
    for (const tile t : wanted) {
        if (--counts[t.code()] < 0)
            return false;
    }
    return true;
}
