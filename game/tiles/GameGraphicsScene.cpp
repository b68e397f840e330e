#include "GameGraphicsScene.h"

#include "ShadowedGroup.h"

#include <QCoreApplication>
#include <QGraphicsView>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace {

/// The largest picture kept, in pixels per side: beyond it painting directly
/// is cheaper than holding the memory.
constexpr int maxLayerSide = 8192;
/// Beyond this many separate parts, one rectangle around them all is
/// painted: every part fills the shadows that reach it once more.
constexpr int maxDirtyParts = 16;

bool isWhole(double v)
{
    return std::abs(v - std::round(v)) < 1e-9;
}

void fillShadows(QPainter* painter, const QPainterPath& shadows)
{
    if (shadows.isEmpty())
        return;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, GameGraphicsScene::shadowAlpha));
    painter->drawPath(shadows);
    painter->restore();
}

/// Keeps back the update requests that reach the windows it watches, to
/// post them again once it stops watching.
class UpdateRequestHold : public QObject
{
public:
    QList<QPointer<QObject>> held;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::UpdateRequest)
            return false;
        if (!held.contains(watched))
            held.append(watched);
        return true;
    }
};

} // namespace

GameGraphicsScene::GameGraphicsScene(QObject* parent)
    : QGraphicsScene(parent)
{
}

GameGraphicsScene::~GameGraphicsScene()
{
    // The groups tell this scene when they go: they must go while it is one.
    clear();
}

QPainterPath GameGraphicsScene::shadowsIn(const QRectF& rect) const
{
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    const QList<QGraphicsItem*> found = items(rect, Qt::IntersectsItemBoundingRect);
    for (const QGraphicsItem* item : found) {
        if (!item->isVisible())
            continue;
        const QVariant v = item->data(ShadowedGroup::shadowPathKey);
        if (v.metaType() != QMetaType::fromType<QPainterPath>())
            continue;
        all.addPath(item->sceneTransform().map(v.value<QPainterPath>()));
    }
    return all;
}

void GameGraphicsScene::invalidateShadows(const QRectF& sceneRect)
{
    if (m_layer.isNull())
        return;
    if (sceneRect.isNull()) {
        m_dirty = QRegion(m_layerRect);
        return;
    }
    // One pixel more on each side: antialiased edges reach into it.
    const QRect area = sceneRect.toAlignedRect().adjusted(-1, -1, 1, 1) & m_layerRect;
    if (!area.isEmpty())
        m_dirty |= area;
}

bool GameGraphicsScene::layerFits(QPainter* painter, const QRectF& rect) const
{
    const QPaintEngine* engine = painter->paintEngine();
    const QPaintDevice* device = painter->device();
    if (!engine || engine->type() != QPaintEngine::Raster || !device || device->devicePixelRatio() != 1.0)
        return false;
    const QTransform t = painter->deviceTransform();
    if (t.type() > QTransform::TxTranslate || !isWhole(t.dx()) || !isWhole(t.dy()))
        return false;
    const QRect r = rect.toAlignedRect();
    return !r.isEmpty() && r.width() <= maxLayerSide && r.height() <= maxLayerSide;
}

void GameGraphicsScene::paintLayer(const QRegion& area)
{
    QPainter p(&m_layer);
    p.setRenderHint(QPainter::Antialiasing, m_layerAntialiased);
    p.translate(-m_layerRect.topLeft());
    // Separate parts (the four sides of the wall) are painted one by one,
    // each with only the shadows that reach it.
    const QRegion parts = area.rectCount() > maxDirtyParts ? QRegion(area.boundingRect()) : area;
    for (const QRect& part : parts) {
        p.setClipRect(part);
        // An opaque cloth covers what was there; anything else shows through.
        if (!backgroundBrush().isOpaque()) {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.fillRect(part, Qt::transparent);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        drawDirectly(&p, part);
    }
}

void GameGraphicsScene::drawDirectly(QPainter* painter, const QRectF& rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    // Items are drawn after the background, so every shadow lies below every
    // tile; one fill of the united path keeps overlaps at one darkness.
    fillShadows(painter, shadowsIn(rect));
}

void GameGraphicsScene::handChangesToViews()
{
    // The views learn of item changes in a call queued on this scene, which
    // repaints where each changed item was last painted. A paint that comes
    // first (a grab, or the window painted when another scene in it hands
    // over its own changes) records the items' new places as painted, and
    // their old pictures stay on the screen. So that call runs before any
    // paint. It ends by painting the views' windows at once, which must not
    // happen inside this paint: their update requests wait until it is over.
    UpdateRequestHold hold;
    QList<QPointer<QWidget>> windows;
    for (QGraphicsView* view : views()) {
        QWidget* window = view->window();
        if (!windows.contains(window)) {
            windows.append(window);
            window->installEventFilter(&hold);
        }
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    for (const QPointer<QWidget>& window : std::as_const(windows)) {
        if (window)
            window->removeEventFilter(&hold);
    }
    for (const QPointer<QObject>& window : std::as_const(hold.held)) {
        if (window)
            QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

void GameGraphicsScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    handChangesToViews();
    if (!layerFits(painter, rect)) {

        drawDirectly(painter, rect);
        return;
    }
    const QRect wanted = rect.toAlignedRect();
    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    if (m_layer.isNull() || backgroundBrush() != m_layerBrush || antialiased != m_layerAntialiased
        || !m_layerRect.contains(wanted)) {
        // A new cloth or a new way of drawing starts afresh; a larger area
        // keeps what was shown so far in the new picture's reach.
        const bool grow = !m_layer.isNull() && backgroundBrush() == m_layerBrush && antialiased == m_layerAntialiased;
        const QRect area = grow ? (m_layerRect | wanted) : wanted;
        if (area.width() > maxLayerSide || area.height() > maxLayerSide) {
            drawDirectly(painter, rect);
            return;
        }
        m_layerRect = area;
        m_layerBrush = backgroundBrush();
        m_layerAntialiased = antialiased;
        // Over an opaque cloth the layer is opaque too: shown, it is copied
        // rather than blended, which on a 4K table saves a pass of its own.
        m_layer = QImage(area.size(), m_layerBrush.isOpaque() ? QImage::Format_RGB32
                                                              : QImage::Format_ARGB32_Premultiplied);
        m_dirty = area;
    }
    if (!m_dirty.isEmpty()) {
        paintLayer(m_dirty);
        m_dirty = QRegion();
    }
    painter->drawImage(wanted.topLeft(), m_layer, wanted.translated(-m_layerRect.topLeft()));
}
