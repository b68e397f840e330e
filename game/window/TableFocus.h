#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class GameWindow;
class QWidget;

/// Where the keys are on a table page. The table's view holds them while no
/// question is up; a question that asks (the claim chooser, a notice with an
/// answer, a box over the table) takes them when it comes on top and gives
/// them back when it goes; a control hidden with the keys hands them to its
/// question or to the table, never to the side bar or the top bar, where the
/// player's next Space would act on something not looked at.
///
/// It follows only what shows and hides, whoever shows or hides it.
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
    void onShown(QWidget* widget);
    void onHidden(QWidget* widget);

    GameWindow* table;
    QPointer<QWidget> home;
    std::vector<QPointer<QWidget>> questions;
};
