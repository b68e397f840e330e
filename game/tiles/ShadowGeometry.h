#pragma once

#include <QMetaType>
#include <QPolygonF>

/// What a tile item tells its shadowed group about its shadow: the outline of
/// its top surface in the item's coordinates and its height above the table
/// in pixels, which sets how far the shadow falls.
struct ShadowGeometry
{
    QPolygonF outline;
    int depth = 0;

    /// Registers the type under the name "ShadowGeometry" (once is enough;
    /// further calls cost nothing).
    static void registerMetaType();

    friend bool operator==(const ShadowGeometry& a, const ShadowGeometry& b)
    {
        return a.depth == b.depth && a.outline == b.outline;
    }
};

Q_DECLARE_METATYPE(ShadowGeometry)
