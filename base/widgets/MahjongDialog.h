#pragma once

#include <QFrame>
#include <QPoint>
#include <QPointer>

#include <vector>

class QAbstractButton;
class QLabel;
class QTimer;
class QToolButton;
class QVBoxLayout;

/// The dialog frame: a child widget (never a window of its own) with a title
/// bar (title text and an optional close button) above one content widget.
/// It is dragged by its title bar inside its parent, clamped to the parent's
/// size and centred on it, and follows its content's title, visibility, size
/// and close requests. Its look comes from the style sheet.
class MahjongDialog : public QFrame
{
    Q_OBJECT

public:
    MahjongDialog(QWidget* parent, bool closable);
    ~MahjongDialog() override;

    /// Installs the content below the title bar. Called once, by the subclass's constructor.
    void setContentWidget(QWidget* content);
    QWidget* contentWidget() const { return content; }

    /// Shows the dialog above its siblings, centred on the parent when asked.
    void showDialog(bool center);
    /// Moves the dialog to the centre of its parent (to its top left when
    /// the parent is the smaller).
    void centerOnParent();

    /// The dialog takes the size its content asks for, word-wrapped texts
    /// included, whenever the content's texts or layout change, and never
    /// less. Off by default: the dialog keeps the size it is given.
    void setFitsContent(bool fits);

    /// Makes the dialog answer keys as a dialog box does: Return and Enter
    /// click the button the focus is on, else the first of `defaults` that
    /// is shown and enabled; Escape clicks the first such of `wayOut`. Keys
    /// typed inside the dialog are its own before any shortcut of the window.
    void setKeyAnswers(std::vector<QAbstractButton*> defaults, std::vector<QAbstractButton*> wayOut);
    /// The button Return answers with now (the first usable default); null when none.
    QAbstractButton* defaultAnswer() const;

    /// How long a question that commits takes no click and no key once shown
    /// (750 ms; a test that answers many such questions may shorten it).
    static int guardMs();
    static void setGuardMs(int ms);
    /// Marks the dialog as a question whose answers in `commit` spend money,
    /// give up a seat or leave a table; `keep` is the answer that leaves
    /// things as they are (null when none does). From then on Return and
    /// Escape answer with `keep` only; each time the dialog comes on the
    /// screen its buttons are disabled for `guardMs` and it swallows every
    /// key, so that a click or a key meant for what was there before answers
    /// nothing; and no committing button is put under the pointer or where a
    /// button of another dialog shown beside it, or gone just now, lies.
    void setCommitting(std::vector<QAbstractButton*> commit, QAbstractButton* keep);
    /// Whether the dialog is in its first moments after coming on the screen
    /// as a question that commits.
    bool isGuarded() const { return guarded; }
    /// Gives the keys to `where` inside the dialog; when the dialog goes
    /// with the keys, they go back where they were before, so that nothing
    /// behind the dialog was reached by them meanwhile.
    void takeKeys(QWidget* where);

    QFrame* topBar() const { return topBarFrame; }
    QLabel* titleLabel() const { return titleText; }
    QToolButton* closeButton() const { return closeBtn; }

public Q_SLOTS:
    void onCloseClicked();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// A control of the dialog disabled while it has the keys leaves them
    /// with the dialog, not with the window's next widget, which may lie
    /// outside what the player is looking at.
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void clampToParent();
    void fitContent();
    /// The button a key typed inside the dialog answers with, or null.
    QAbstractButton* answerFor(const QKeyEvent* event) const;
    void startGuard();
    void endGuard();
    /// Moves the dialog until no committing button lies over what a click
    /// meant for something else may hit.
    void stayClear();

    QVBoxLayout* layout = nullptr;
    QFrame* topBarFrame = nullptr;
    QLabel* titleText = nullptr;
    QToolButton* closeBtn = nullptr;
    QWidget* content = nullptr;
    bool dragging = false;
    QPoint grabPoint;
    bool prepared = false;
    bool preparing = false;
    bool fitsContent = false;
    std::vector<QAbstractButton*> defaults;
    std::vector<QAbstractButton*> wayOut;
    QPointer<QWidget> keysBefore;
    std::vector<QPointer<QAbstractButton>> committing;
    QTimer* guardTimer = nullptr;
    bool guarded = false;
};
