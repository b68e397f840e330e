#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <vector>

class GameWindow;
class QKeyEvent;
class QWidget;

/// Where the keys are on a table page. The table's view holds them while no
/// question is up; a question that asks (the claim chooser, a notice with an
/// answer, a box over the table) takes them when it comes on top and gives
/// them back when it goes; a control hidden with the keys hands them to its
/// question or to the table, never to the side bar or the top bar, where the
/// player's next Space would act on something not looked at.
///
/// A question that comes while the player is typing (in the table's chat
/// line, a search or a password field) leaves the keys in the field: the
/// rest of the line would otherwise answer it, a space passing a claim. It
/// shows all the same, its own keys answer it, and Tab or a click on it
/// brings the keys there.
///
/// It follows only what shows and hides, whoever shows or hides it, and the
/// keys typed into text fields.
class TableFocus : public QObject
{
    Q_OBJECT

public:
    /// Watches the table's questions; made once the table is built.
    explicit TableFocus(GameWindow* table);
    ~TableFocus() override;

    /// The widget of a question that takes the keys: its default answer,
    /// the chooser's Pass while no win is on offer, else the question itself.
    QWidget* firstFocus(QWidget* question) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isQuestion(const QObject* widget) const;
    /// The question shown on top of the others; null when none is up.
    QWidget* topQuestion() const;
    /// The question that holds `widget` (itself included); null when none.
    QWidget* questionOf(QWidget* widget) const;
    void giveKeys(QWidget* question);
    /// Whether `field` is a text field of the window the player is typing
    /// in: one that holds text, or took a key a moment ago (a line just sent).
    bool typing(const QWidget* field) const;
    /// `widget` came up, or (not `shown`) was raised.
    void onShown(QWidget* widget, bool shown);
    void onHidden(QWidget* widget);
    /// Notes a key typed into a text field; true when it was taken here.
    bool onKeyPress(QWidget* field, const QKeyEvent* key);

    GameWindow* table;
    QPointer<QWidget> home;
    std::vector<QPointer<QWidget>> questions;
    /// The question that came while the player was typing, until it has had
    /// the keys; Tab takes them there while it is still on top.
    QPointer<QWidget> waiting;
    /// The text field that took the last key, and since when.
    QPointer<QWidget> typedIn;
    QElapsedTimer typedAt;
    /// Where the keys were before they last moved.
    QPointer<QWidget> keysBefore;
};
