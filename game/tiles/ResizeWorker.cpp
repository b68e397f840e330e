#include "ResizeWorker.h"

#include "TileGraphics.h"
#include "TileImages.h"

#include <QDebug>

ResizeWorker::ResizeWorker(const QString& blankPath, const QString& facePath, double scale, QObject* parent)
    : QThread(parent)
    , blankPath(blankPath)
    , facePath(facePath)
    , scale(scale)
{
}

ResizeWorker::~ResizeWorker()
{
    wait();
    delete result;
}

TileImages* ResizeWorker::takeResult()
{
    TileImages* r = result;
    result = nullptr;
    return r;
}

void ResizeWorker::run()
{
    try {
        result = TileGraphics::loadTileImages(blankPath, facePath, scale);
    } catch (const std::exception& e) {
        qWarning() << "tile set render failed:" << e.what();
    }
}
