#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <optional>

class QWidget;

/// Lets through what a page asks for on the player's behalf (a tab, a join,
/// a browser, a window) only while the page is shown, and once after the
/// player's last click, touch or key press in the page: a page's timer or
/// loop gets nothing, and gestures do not add up (typing a word gives one
/// call, not one a letter).
class GestureGate : public QObject
{
    Q_OBJECT

public:
    /// How long a gesture stays good for its one call: long enough for a
    /// page that asks its server first.
    static constexpr qint64 gestureLifetimeMs = 5000;

    /// Watches the view and the widgets the view puts inside it.
    explicit GestureGate(QWidget* view);

    /// Whether a call may go ahead now; one that may uses up a gesture.
    bool take();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);
    void gesture();

    QWidget* view;
    /// When the last gesture came, by `clock`, while no call has used it:
    /// it is good for its lifetime.
    std::optional<qint64> unusedGesture;
    QElapsedTimer clock;
    /// Calls are refused since the last one let through (logged once a run).
    bool refusing = false;
};
