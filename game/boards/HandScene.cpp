#include "HandScene.h"

#include "DeclaredView.h"

HandScene::HandScene()
    : view(std::make_unique<DeclaredView>(0, 2048))
{
    addItem(view.get());
}

HandScene::~HandScene()
{
    removeItem(view.get());
    view.reset();
}
