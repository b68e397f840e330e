#include "ActionQueue.h"

#include "AnimationActions.h"
#include "GameWindowAction.h"
#include "GameWindowAnimation.h"
#include "Utils.h"

#include <QSettings>

namespace {
/// Plays an animation to its end at once and releases it: the road of every
/// animation while animations are off.
void playInstantly(GameWindowAnimation* animation)
{
    animation->start(true);
    animation->end(true);
    delete animation;
}
}

ActionQueue::ActionQueue(QObject* parent)
    : QObject(parent)
{
}

ActionQueue::~ActionQueue()
{
    reset();
}

void ActionQueue::setAnimationsEnabledSource(std::function<bool()> source)
{
    enabledSource = std::move(source);
}

bool ActionQueue::animationsEnabled() const
{
    if (enabledSource)
        return enabledSource();
    // One settings object for the queue's life: settings objects of one
    // process share their data, so a change written anywhere in the program
    // is seen at the next enqueue, without opening the store every time.
    if (!settings)
        settings = std::make_unique<QSettings>();
    return settingsSwitch(*settings, "game/animations", true);
}

void ActionQueue::enqueueAction(GameWindowAction* action)
{
    queue.emplace_back(action);
    // A step queued from inside a running step is picked up by that run.
    if (running)
        return;
    if (!animationsEnabled())
        flushActions();
    else if (!busy)
        nextAction();
    if (queue.size() > std::size_t(maxBacklog))
        flushActions();
}

void ActionQueue::enqueueAnimation(GameWindowAnimation* animation)
{
    const bool enabled = animationsEnabled();
    if (running) {
        // Queued from inside a running step: keep its place in the order.
        if (enabled) {
            connect(animation, &GameWindowAnimation::finished, this, &ActionQueue::nextAction);
            queue.emplace_back(new StartAction(animation));
            queue.emplace_back(new EndAction(animation));
        } else {
            queue.emplace_back(makeAction(&playInstantly, animation));
        }
        return;
    }
    if (!enabled) {
        flushActions();
        playInstantly(animation);
        return;
    }
    connect(animation, &GameWindowAnimation::finished, this, &ActionQueue::nextAction);
    queue.emplace_back(new StartAction(animation));
    queue.emplace_back(new EndAction(animation));
    if (!busy)
        nextAction();
    if (queue.size() > std::size_t(maxBacklog))
        flushActions();
}

void ActionQueue::nextAction()
{
    if (running) {
        // An animation that finished inside its own start: the run under way
        // goes on past it.
        resumeRequested = true;
        return;
    }
    running = true;
    while (!queue.empty()) {
        // Taken off the queue before it runs, so a reset from inside the step
        // cannot delete the step that is running.
        std::unique_ptr<GameWindowAction> action = std::move(queue.front());
        queue.pop_front();
        if (!action->execute(false)) {
            if (!resumeRequested)
                break;
        }
        resumeRequested = false;
    }
    resumeRequested = false;
    running = false;
    busy = !queue.empty();
}

void ActionQueue::flushActions()
{
    const bool nested = running;
    running = true;
    while (!queue.empty()) {
        std::unique_ptr<GameWindowAction> action = std::move(queue.front());
        queue.pop_front();
        action->execute(false);
    }
    running = nested;
    resumeRequested = false;
    busy = false;
}

void ActionQueue::reset()
{
    // Destroying an unrun end step deletes its animation, and with it every
    // connection that could still call nextAction().
    std::deque<std::unique_ptr<GameWindowAction>> doomed;
    doomed.swap(queue);
    doomed.clear();
    busy = false;
}
