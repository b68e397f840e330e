#pragma once

#include <QGraphicsScene>

#include <memory>

class DeclaredView;

/// A scene that shows one player's scoring tiles on the score board, as rows
/// of melds laid out for the own side of the table.
class HandScene : public QGraphicsScene
{
    Q_OBJECT

public:
    HandScene();
    ~HandScene() override;

    DeclaredView* declaredView() const { return view.get(); }

private:
    std::unique_ptr<DeclaredView> view;
};
