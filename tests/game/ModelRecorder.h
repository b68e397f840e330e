#pragma once

// Records every signal of a GameModel as one short line, in emission order,
// so that tests can compare whole sequences ("what happened, in what order")
// and read the model's state as it was when each signal went out.

#include "GameModel.h"

#include <QStringList>

#include <functional>

class ModelRecorder
{
public:
    explicit ModelRecorder(GameModel* model);

    /// Lines recorded since the last take(), which clears them.
    QStringList take();
    const QStringList& lines() const { return m_lines; }

    /// Called with every line as it is recorded, while the emitting slot is
    /// still running: lets a test read the model at that moment.
    std::function<void(const QString&)> onLine;

private:
    void add(const QString& line);

    GameModel* m_model;
    QStringList m_lines;
};

/// Short texts for test expectations.
QString tileText(tile t);
QString tilesShort(const tile_vector& tiles);
QString meldText(const meld_tuple& m);
