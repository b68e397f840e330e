#include "DealStartHandAnimation.h"

#include "CityView.h"
#include "GameGraphicsScene.h"
#include "GameWindow.h"
#include "HiddenHandView.h"
#include "TileAnimation.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QDebug>
#include <QTimeLine>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

/// The length along a row of a tile kind seen from a side.
double rowLength(const TileImages* images, int orientation, int kind)
{
    if (!images)
        return 1.0;
    const TileSize3D s = images->size3D(orientation, kind);
    return double(orientation % 2 == 0 ? s.width : s.height);
}

/// Where each dealt tile lands: its seat (as the user sees it) and its slot
/// in that seat's hand.
std::vector<std::pair<int, int>> landings(int players, int ownWind)
{
    const int n = DealStartHandAnimation::tileCount(players);
    const std::vector<int> order = GameWindow::dealOrder(players);
    std::vector<std::pair<int, int>> result;
    int counters[4] = {0, 0, 0, 0};
    for (int k = 0; k < n && k < int(order.size()); ++k) {
        const int o = (order[std::size_t(k)] - ownWind + 4) % 4;
        result.emplace_back(o, std::min(counters[o], HiddenHandView::maxTiles - 1));
        ++counters[o];
    }
    return result;
}

/// The dealt tile's scale at its seat, against its picture's size along the row.
double landingScale(const TileImages* images, int o)
{
    const double base = std::max(1.0, rowLength(images, o, TileImages::WallSingle));
    return rowLength(images, o, TileImages::Hidden) / base;
}

int ownWindOf(GameWindow* window)
{
    const PlayerData* bottom = window->seatPlayer(0);
    return bottom ? int(bottom->wind()) : 0;
}

int playersOf(GameWindow* window)
{
    return window->model() ? int(window->model()->players().size()) : 0;
}

} // namespace

DealStartHandAnimation::DealStartHandAnimation(GameWindow* window)
    : GameWindowAnimation(durationMs)
    , window(window)
{
    ownWind = ownWindOf(window);
    players = playersOf(window);
}

DealStartHandAnimation::~DealStartHandAnimation() = default;

int DealStartHandAnimation::tileCount(int players)
{
    return players >= 2 && players <= 4 ? 13 * players + 1 : 0;
}

void DealStartHandAnimation::start(bool instant)
{
    if (instant)
        return;
    const int n = tileCount(players);
    if (n == 0) {
        qWarning() << "no deal for" << players << "players";
        timeLine()->start();
        return;
    }
    const TileImages* images = TileGraphics::instance().gamePainter()->tileImages();
    TableWall* wall = window->walls();
    auto& slots = window->dealTiles();
    const auto lands = landings(players, ownWind);
    for (int k = 0; k < int(lands.size()) && k < int(slots.size()); ++k) {
        const auto [o, slot] = lands[std::size_t(k)];
        const double startStep = (k / 4 * 4) * 0.667 / 53;
        const double endStep = startStep + 0.333;
        const int wallSide = wall->liveEndSide();
        delete slots[std::size_t(k)];
        auto* a = new TileAnimation(window->scene(), timeLine(), TileImages::WallSingle, wallSide, o, startStep,
                                    endStep);
        slots[std::size_t(k)] = a;
        const double base = std::max(1.0, rowLength(images, o, TileImages::WallSingle));
        a->setStartScale(rowLength(images, wallSide, TileImages::WallSingle) / base);
        a->setEndScale(landingScale(images, o));
        HiddenHandView* hand = window->hiddenHand(o);
        a->setStartPos(wall->liveEndPos());
        a->setEndPos(hand->slotScenePosition(slot));
        a->setZValue(wall->liveEndZ());
        a->setZBefore(1000 + k);
        a->setZAfter(hand->slotZ(slot));
        a->picture()->show();
        wall->takeTile(false);
    }
    timeLine()->start();
}

void DealStartHandAnimation::end(bool instant)
{
    if (instant && timeLine()->state() == QTimeLine::Running)
        timeLine()->stop();
    // A deal ended early (a flush) leaves no tile in flight: each stands at
    // its seat, as at the deal's own end, until the first draw sets the
    // hands up.
    for (TileAnimation* a : window->dealTiles())
        if (a != nullptr)
            a->setStep(1.0);
}

void DealStartHandAnimation::followLayout(GameWindow* window)
{
    const TileImages* images = TileGraphics::instance().gamePainter()->tileImages();
    const auto lands = landings(playersOf(window), ownWindOf(window));
    auto& slots = window->dealTiles();
    for (std::size_t k = 0; k < lands.size() && k < slots.size(); ++k) {
        TileAnimation* a = slots[k];
        // Pictures of an earlier hand, put away, stay where they are.
        if (a == nullptr || !a->picture()->isVisible())
            continue;
        const auto [o, slot] = lands[k];
        a->retarget(window->hiddenHand(o)->slotScenePosition(slot), landingScale(images, o));
    }
}
