#pragma once

/// How a lobby filter treats rows with or without a property: bit 0 lets rows
/// with it pass, bit 1 rows without it.
enum FilterMode {
    FilterNone = 0,
    FilterOnly = 1,
    FilterExclude = 2,
    FilterAny = 3,
};

/// Whether a row with (or without) the property passes the mode. Any value
/// other than 0, 1 and 2 lets every row pass.
inline bool filterModeAccepts(int mode, bool hasProperty)
{
    switch (mode) {
    case FilterNone:
        return false;
    case FilterOnly:
        return hasProperty;
    case FilterExclude:
        return !hasProperty;
    default:
        return true;
    }
}
