#pragma once

#include "MahjongDialog.h"

#include <QDialogButtonBox>

#include <functional>

class QAbstractButton;
class QPushButton;

/// Modeless message boxes on the dialog frame: shown centred inside a parent
/// widget, the rest of the window stays usable, and the answer (the clicked
/// standard button, or 0 when closed) arrives later through a callback. A
/// box takes the keyboard focus when it comes on the screen (at once, or
/// when its page is shown later, as the top box of its page), a click on it
/// takes it back, and a box that goes while it has it hands it to the top
/// box left: while the focus is anywhere inside it, Enter answers with its
/// default button (or the button the focus is on) and Escape with its No or
/// Close, before any shortcut of the window.
///
/// Keys go to what the player sees on top: a box, or another widget marked
/// with `answerKeysOnTop`, that something shown above it covers answers no
/// key; a key typed there goes to the widget on top instead.
///
/// At most `maxOfAKind` unanswered boxes with the same title and parent are
/// open at a time: a further one closes the oldest of them (as its close
/// button would), so that the newest text is the one shown; a further
/// notice (a box of one button) in the same turn of the event loop as the
/// newest takes that box, unseen yet, with its text instead. A box about a
/// subject (a table, a tournament) is never closed that way: it replaces an
/// open box about the same subject only, so there is one per subject.
namespace ModelessMsgBox {

/// How many boxes of one kind (title and parent, no subject) are shown at once.
constexpr int maxOfAKind = 3;

/// A box's title and text as made in the language shown.
struct Wording
{
    QString title;
    QString text;
};
/// Makes a box's wording; called again whenever the language changes, so that
/// a box left open speaks the language chosen meanwhile. It holds what it
/// fills in (names, numbers, times) by value.
using WordingMaker = std::function<Wording()>;

/// One box. Deletes itself after its answer.
class MsgBox : public MahjongDialog
{
    Q_OBJECT

public:
    MsgBox(const QString& title, const QString& text, QWidget* parent);
    ~MsgBox() override;

    /// The default button chosen when the box was built, or null.
    QPushButton* defaultButton() const { return defaultBtn; }
    QDialogButtonBox* buttonBox() const { return buttons; }

    /// Adds the standard buttons of the mask, lowest bit first, and picks the default button.
    void setButtons(QDialogButtonBox::StandardButtons mask, QDialogButtonBox::StandardButton defaultButton);
    /// Whether the box has given its answer (it is deleted soon after).
    bool isAnswered() const { return answered; }
    /// What the box is about ("table 12"); empty for a box of its kind only.
    const QString& subject() const { return m_subject; }
    void setSubject(const QString& subject) { m_subject = subject; }
    /// Counts up with every box made: the order in which boxes came.
    quint64 serial() const { return m_serial; }
    /// Whether the event loop has run since the box was made (it may have been seen).
    bool isSettled() const { return settled; }
    /// Shows another text.
    void setText(const QString& text);
    /// Shows the wording the maker makes, now and after every change of the
    /// language; a null maker keeps the words as they are from now on.
    void setWording(WordingMaker maker);
    /// Marks the box as a question whose other answers spend money, give up
    /// a seat or leave a table: its No, Cancel or Close becomes the default
    /// and the only key answer, and it is guarded as `MahjongDialog::setCommitting` tells.
    void markCommitting();

Q_SIGNALS:
    /// Emitted exactly once, with the clicked standard button or 0 when the box was closed.
    void finished(int result);

public Q_SLOTS:
    void onClicked(QAbstractButton* button);
    /// Ends the box from outside with the given result.
    void onFinished(int result);

    /// The button Escape answers with: a No, Cancel or Close, else the only
    /// button; null when there is none of these.
    QAbstractButton* escapeButton() const;

    /// Gives the box the keys, where they were in it last, unless it has
    /// them or something covers it.
    void takeKeys(Qt::FocusReason reason);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    /// Tab and Shift+Tab go round the box's buttons, as in a message box:
    /// what lies next in the window may be under the box.
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent* event) override;
    /// A box that goes while it has the keys hands them to the box below it.
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// Takes the size the content asks for now, every layout in it run anew.
    void fitContentNow();

    QPushButton* defaultBtn = nullptr;
    QDialogButtonBox* buttons = nullptr;
    bool answered = false;
    QString m_subject;
    WordingMaker wording;
    quint64 m_serial = 0;
    bool settled = false;
};

/// The four kinds of box; `subject` names what the box is about (see above).
MsgBox* information(QWidget* parent, const QString& title, const QString& text,
                    QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                    QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                    const QString& subject = QString());
MsgBox* warning(QWidget* parent, const QString& title, const QString& text,
                QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                const QString& subject = QString());
MsgBox* critical(QWidget* parent, const QString& title, const QString& text,
                 QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                 QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                 const QString& subject = QString());
MsgBox* question(QWidget* parent, const QString& title, const QString& text,
                 QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::StandardButtons(QDialogButtonBox::Yes
                                                                                               | QDialogButtonBox::No),
                 QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                 const QString& subject = QString());

/// The same four kinds with words made in the language shown, again when it
/// changes (see `WordingMaker`).
MsgBox* information(QWidget* parent, const WordingMaker& wording,
                    QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                    QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                    const QString& subject = QString());
MsgBox* warning(QWidget* parent, const WordingMaker& wording,
                QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                const QString& subject = QString());
MsgBox* critical(QWidget* parent, const WordingMaker& wording,
                 QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok,
                 QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                 const QString& subject = QString());
MsgBox* question(QWidget* parent, const WordingMaker& wording,
                 QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::StandardButtons(QDialogButtonBox::Yes
                                                                                               | QDialogButtonBox::No),
                 QDialogButtonBox::StandardButton defaultButton = QDialogButtonBox::NoButton,
                 const QString& subject = QString());

/// Closes the open boxes about `subject` beside `parent` (null: the
/// top-level ones), as their close buttons would: what they ask about is over.
void closeAbout(const QWidget* parent, const QString& subject);

/// The widget shown above `widget` in its window that covers part of it (a
/// later sibling of it or of one of its ancestors); null when none does.
QWidget* coveringWidget(const QWidget* widget);

/// Makes `widget` and what it holds answer keys and shortcuts only while
/// nothing covers it, as every box does; when it goes while it has the keys,
/// the box now on top takes them. In every window, Escape, Return and Enter
/// typed into a text field are the field's, never a shortcut's.
void answerKeysOnTop(QWidget* widget);

/// Calls the callback once with the box's result; never for a null box
/// (one not shown: its question was not asked).
void connectFinished(MsgBox* box, std::function<void(int)> callback);

/// Marks the box as a question that commits (see `MsgBox::markCommitting`).
/// Returns the box.
MsgBox* committing(MsgBox* box);

/// Makes the box show its text as plain text, for texts that carry server
/// data (table names, reasons), never markup. Returns the box.
MsgBox* plainText(MsgBox* box);

namespace detail {

/// Carries a result callback; a child of the box's parent so that it outlives the box.
class MsgBoxFinishedHelper : public QObject
{
    Q_OBJECT

public:
    MsgBoxFinishedHelper(MsgBox* box, std::function<void(int)> callback);

public Q_SLOTS:
    void onFinished(int result);

private:
    std::function<void(int)> callback;
};

}

}
