#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <memory>

class GameWindowAction;
class GameWindowAnimation;
class QSettings;

/// The first-in, first-out queue of a table's visible changes. Steps run in
/// the order they were queued; an animation's start makes the queue wait
/// until the animation reports finished(), so every change queued behind it
/// happens after it. With the setting "game/animations" off nothing waits:
/// every step runs at once and animations jump to their end. A backlog of
/// more than `maxBacklog` steps is flushed: the table jumps to its current
/// state instead of replaying it.
class ActionQueue : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxBacklog = 20;

    explicit ActionQueue(QObject* parent = nullptr);
    /// Deletes every queued step without running it.
    ~ActionQueue() override;

    /// Takes ownership of the step and runs the queue unless it waits. An
    /// immediate step on an idle queue has run when this returns.
    void enqueueAction(GameWindowAction* action);
    /// Takes ownership of the animation and queues its start and end; with
    /// animations off, runs the queue out and plays the animation to its end
    /// before returning.
    void enqueueAnimation(GameWindowAnimation* animation);
    /// Runs every queued step now, waiting for nothing; leaves the queue
    /// empty and idle. A running animation is ended by its end step.
    void flushActions();
    /// Deletes every queued step without running it; a running animation is
    /// deleted without reaching its end.
    void reset();

    /// True while a started animation holds the queue.
    bool isBusy() const { return busy; }
    /// The number of queued steps.
    int size() const { return int(queue.size()); }

    /// Where the queue reads whether animations are on. By default the
    /// setting "game/animations" (default true), read at every enqueue so a
    /// change takes effect at the next one.
    void setAnimationsEnabledSource(std::function<bool()> source);

public Q_SLOTS:
    /// Runs steps from the front until one waits or the queue is empty.
    void nextAction();

private:
    bool animationsEnabled() const;

    std::deque<std::unique_ptr<GameWindowAction>> queue;
    bool busy = false;
    /// Set while a run is under way: a step that queues further steps from
    /// inside its own execute() does not start a second run.
    bool running = false;
    /// An animation finished while its own start was running.
    bool resumeRequested = false;
    std::function<bool()> enabledSource;
    mutable std::unique_ptr<QSettings> settings;
};
