#pragma once

// The two queued halves of one animation. The queue makes them; nothing
// else needs them.

#include "GameWindowAction.h"

class GameWindowAnimation;

/// Starts the animation and makes the queue wait. Leaves the animation alone
/// when destroyed: its EndAction owns it.
class StartAction : public GameWindowAction
{
public:
    explicit StartAction(GameWindowAnimation* animation);
    bool execute(bool instant) override;

private:
    GameWindowAnimation* animation;
};

/// Brings the animation to its end, halts its time line and releases it
/// (later: this normally runs inside the animation's own finished()). When
/// destroyed without having run, it deletes the animation at once.
class EndAction : public GameWindowAction
{
public:
    explicit EndAction(GameWindowAnimation* animation);
    ~EndAction() override;
    bool execute(bool instant) override;

private:
    GameWindowAnimation* animation;
};
