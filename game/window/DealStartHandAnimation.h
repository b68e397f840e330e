#pragma once

#include "GameWindowAnimation.h"

class GameWindow;

/// The deal: the starting tiles fly from the live wall to the players' hands
/// in blocks of four, in the order of the winds (13 per player and one more
/// for East). The moving pictures stay in the window's deal slots until the
/// hand is set up by its first draw.
class DealStartHandAnimation : public GameWindowAnimation
{
    Q_OBJECT

public:
    static constexpr int durationMs = 1500;

    explicit DealStartHandAnimation(GameWindow* window);
    ~DealStartHandAnimation() override;

    /// Takes the tiles off the wall and starts them moving; nothing when
    /// `instant` (the first draw sets the hands up).
    void start(bool instant) override;
    /// Stops a running deal with every tile at its seat.
    void end(bool instant) override;

    /// The number of tiles dealt to `players` players; 0 outside 2..4.
    static int tileCount(int players);
    /// Aims the dealt tiles of `window` at the hands as they lie now: a page
    /// laid out anew (shown, resized) after its deal draws them at their seats.
    static void followLayout(GameWindow* window);

private:
    GameWindow* window;
    int ownWind = 0;
    int players = 0;
};
