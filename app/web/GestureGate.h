#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>

class QWidget;

/// Lets through what a page asks for on the player's behalf (a tab, a join,
/// a browser, a window) only while the page is shown, and once for each
/// click or touch the player gave the document now shown (not one shown
/// before, nor one shown after it); key presses do not add up: the
/// keys typed between two clicks are good for one call, not one a letter. A
/// page's timer or loop gets nothing more.
class GestureGate : public QObject
{
    Q_OBJECT

public:
    /// How long a gesture stays good for its one call, from the click: as
    /// long as an honest page's request to its server may take before the
    /// page calls.
    static constexpr qint64 gestureLifetimeMs = 60000;

    /// Watches the view and the widgets the view puts inside it;
    /// `document` tells which document the view shows.
    GestureGate(QWidget* view, std::function<quint64()> document);

    /// Whether a call may go ahead now; one that may uses up a gesture.
    bool take();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);
    void gesture(bool key);

    QWidget* view;
    std::function<quint64()> document;
    /// The gestures no call has used yet (at most `maxUnused`, of which at
    /// most one of keys), by the time on `clock` when they came, oldest
    /// first: each is good for its lifetime.
    struct Gesture
    {
        qint64 at;
        bool key;
        quint64 document;
    };
    static constexpr qsizetype maxUnused = 16;
    QList<Gesture> unusedGestures;
    QElapsedTimer clock;
    /// The keys typed since the last click have had their call.
    bool keysUsed = false;
    /// Calls are refused since the last one let through (logged once a run).
    bool refusing = false;
};
