#include "ShadowGeometry.h"

#include <QPainterPath>

void ShadowGeometry::registerMetaType()
{
    static const bool registered = [] {
        qRegisterMetaType<ShadowGeometry>("ShadowGeometry");
        qRegisterMetaType<QPainterPath>("QPainterPath");
        return true;
    }();
    Q_UNUSED(registered);
}
