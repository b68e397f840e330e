#pragma once

#include <QBrush>

#include <functional>

class QObject;

/// The cloth of the game table for a size: the table picture stretched over
/// it with the small pattern multiplied over that. Rendered only when the
/// size changes (beyond a cloth larger by a hundredth at most, cropped) and
/// shared by every table window; a size that is not
/// positive returns what is cached (at first an empty brush) and only makes
/// sure the pictures are loaded. GUI thread only.
QBrush gameBackgroundBrush(int width, int height);

/// The cloth for a size without waiting for its render: the cloth of
/// gameBackgroundBrush() when the last one rendered serves this size (or
/// nothing is rendered yet, which renders it here), else the last one as a
/// brush stretched over the size while the exact one is rendered on a
/// worker thread. `ready` is then called on the
/// GUI thread once the latest size asked for is rendered, unless `context`
/// is gone by then. GUI thread only.
QBrush quickBackgroundBrush(int width, int height, QObject* context, std::function<void()> ready);
