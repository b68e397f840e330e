#include "AnimationActions.h"

#include "GameWindowAnimation.h"

StartAction::StartAction(GameWindowAnimation* a)
    : animation(a)
{
}

bool StartAction::execute(bool instant)
{
    animation->start(instant);
    return false;
}

EndAction::EndAction(GameWindowAnimation* a)
    : animation(a)
{
}

EndAction::~EndAction()
{
    delete animation;
}

bool EndAction::execute(bool instant)
{
    // A flush can end an animation whose time line still runs; halted, it
    // cannot emit a late finished() that would end the next animation early.
    animation->halt();
    animation->end(instant);
    animation->deleteLater();
    animation = nullptr;
    return true;
}
