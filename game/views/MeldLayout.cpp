#include "MeldLayout.h"

#include <algorithm>
#include <stdexcept>

namespace MeldLayout {

namespace {

/// The offsets of a claimed chow's tiles: [claimed offset][claimed position].
/// The claimed tile stands at its position; the other two keep ascending order.
constexpr int chowOffsets[3][3][3] = {
    {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}},
    {{1, 0, 2}, {0, 1, 2}, {0, 2, 1}},
    {{2, 0, 1}, {0, 2, 1}, {0, 1, 2}},
};

Slot slotFor(int code, int kind)
{
    // A code past the last tile cannot be drawn face up; show a concealed tile.
    if (code < 0 || code > tile::lastCode)
        return Slot{tile(tile::concealedCode), kind == Sideways ? Sideways : FaceDown};
    return Slot{tile(std::uint8_t(code)), kind};
}

} // namespace

std::vector<Slot> slots(int meldType, tile t, int claimedPosition, int claimedOffset, int hiddenLevel)
{
    const int code = t.isConcealed() ? -1 : int(t.code());
    const int c = claimedPosition;
    std::vector<Slot> row;
    switch (meldType) {
    case 1: { // chow
        const bool claimable = c >= 0 && c <= 2 && claimedOffset >= 0 && claimedOffset <= 2 && code >= 0
            && code + 2 <= tile::lastCode;
        for (int i = 0; i < 3; ++i) {
            if (claimable)
                row.push_back(slotFor(code + chowOffsets[claimedOffset][c][i], i == c ? Sideways : FaceUp));
            else
                row.push_back(slotFor(code < 0 ? -1 : code + i, FaceUp));
        }
        break;
    }
    case 2: // pong
        for (int i = 0; i < 3; ++i) {
            int kind = FaceUp;
            if ((i < 2 && hiddenLevel == 2) || (i == 2 && hiddenLevel != 0))
                kind = FaceDown;
            if (i == c)
                kind = Sideways;
            row.push_back(slotFor(code, kind));
        }
        break;
    case 4: { // pong to kong: two sideways tiles stacked at the claim
        const bool side[4] = {c == 0, c == 0 || c == 1, c == 1 || c == 2, c == 2};
        for (int i = 0; i < 4; ++i)
            row.push_back(slotFor(code, side[i] ? Sideways : FaceUp));
        break;
    }
    case 8: { // kong
        const bool down[4] = {hiddenLevel != 0, hiddenLevel == 2, hiddenLevel == 2, hiddenLevel != 0};
        const bool turned[4] = {c == 0, c == 1, false, c == 2};
        for (int i = 0; i < 4; ++i)
            row.push_back(slotFor(code, turned[i] ? Sideways : (down[i] ? FaceDown : FaceUp)));
        break;
    }
    case 32: // pair
        for (int i = 0; i < 2; ++i)
            row.push_back(slotFor(code, i == c ? Sideways : FaceUp));
        break;
    case 64:
    case 128:
        row.push_back(slotFor(code, FaceUp));
        break;
    default:
        throw std::runtime_error("can't create view for unhandled meld-type");
    }
    return row;
}

int claimedPosition(ClaimedFrom from)
{
    switch (from) {
    case ClaimedFrom::Left:
        return 0;
    case ClaimedFrom::Across:
        return 1;
    case ClaimedFrom::Right:
        return 2;
    case ClaimedFrom::None:
        break;
    }
    return -1;
}

QPoint cursorStart(int side, QSize upright, QSize sideways)
{
    if (side == 1 || side == 3)
        return {std::max(upright.width(), 2 * sideways.width()), 0};
    return {0, std::max(upright.height(), 2 * sideways.height())};
}

QPointF placement(int side, QPoint cursor, QSize size)
{
    const int x = cursor.x(), y = cursor.y(), w = size.width(), h = size.height();
    switch (side) {
    case 0:
        return QPointF(x, y - h);
    case 1:
        return QPointF(x - w, -(y + h));
    case 2:
        return QPointF(-(x + w), 0);
    case 3:
        return QPointF(0, y);
    default:
        return QPointF(0, 0);
    }
}

namespace {

void advance(int side, QPoint& cursor, QSize size)
{
    if (side == 1 || side == 3)
        cursor.ry() += size.height();
    else
        cursor.rx() += size.width();
}

} // namespace

Placed layout(int side, QPoint start, const std::vector<QSize>& footprints, int stackedAt)
{
    Placed result;
    result.positions.resize(footprints.size());
    result.cursor = start;
    const int n = int(footprints.size());
    const bool stacked = stackedAt >= 0 && stackedAt + 1 < n;
    for (int i = 0; i < n; ++i) {
        if (stacked && i == stackedAt) {
            const QSize lower = footprints[std::size_t(i)];
            const QPointF p = placement(side, result.cursor, lower);
            QPointF first = p, second = p;
            switch (side) {
            case 0:
                first = QPointF(p.x(), p.y() - lower.height());
                break;
            case 1:
                first = QPointF(p.x() - lower.width(), p.y());
                break;
            case 2:
                second = QPointF(p.x(), p.y() + lower.height());
                break;
            case 3:
                first = QPointF(p.x() + lower.width(), p.y());
                break;
            default:
                break;
            }
            result.positions[std::size_t(i)] = first;
            result.positions[std::size_t(i + 1)] = second;
            advance(side, result.cursor, footprints[std::size_t(i + 1)]);
            ++i;
            continue;
        }
        result.positions[std::size_t(i)] = placement(side, result.cursor, footprints[std::size_t(i)]);
        advance(side, result.cursor, footprints[std::size_t(i)]);
    }
    return result;
}

QRect extent(int side, QPoint cursor)
{
    const int x = cursor.x(), y = cursor.y();
    switch (side) {
    case 0:
        return QRect(0, 0, x, y);
    case 1:
        return QRect(0, -y, x, y);
    case 2:
        return QRect(-x, -y, x, y);
    case 3:
        return QRect(-x, 0, x, y);
    default:
        return QRect(0, 0, 0, 0);
    }
}

} // namespace MeldLayout
