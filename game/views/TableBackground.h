#pragma once

#include <QBrush>

/// The cloth of the game table for a size: the table picture stretched over
/// it with the small pattern multiplied over that. Rendered only when the
/// size changes and shared by every table window; a size that is not
/// positive returns what is cached (at first an empty brush) and only makes
/// sure the pictures are loaded. GUI thread only.
QBrush gameBackgroundBrush(int width, int height);
