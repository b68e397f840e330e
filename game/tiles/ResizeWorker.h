#pragma once

#include <QString>
#include <QThread>

class TileImages;

/// Renders one exact tile set off the GUI thread. It works on copies of its
/// inputs and touches nothing else; its result is collected by TileGraphics
/// once finished() has been delivered on the GUI thread.
class ResizeWorker : public QThread
{
    Q_OBJECT

public:
    ResizeWorker(const QString& blankPath, const QString& facePath, double scale, QObject* parent = nullptr);
    /// Deletes a result nobody took.
    ~ResizeWorker() override;

    const QString blankPath;
    const QString facePath;
    const double scale;

    /// Hands the result over (null before run() has finished); the worker
    /// forgets it.
    TileImages* takeResult();

protected:
    void run() override;

private:
    TileImages* result = nullptr;
};
