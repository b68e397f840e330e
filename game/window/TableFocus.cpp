// The keys of a table page: which widget holds them as the table's
// questions come and go.
#include "TableFocus.h"

#include "GameWindow.h"
#include "MeldAuction.h"
#include "ModelessMsgBox.h"
#include "PlayerInactiveWindow.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "UPushButton.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <algorithm>

namespace {

/// Whether the keys are on `widget` or on something inside it.
bool holdsKeys(const QWidget* widget)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == widget || widget->isAncestorOf(focus));
}

/// How long an empty field counts as typed in after its last key: a line
/// just sent is followed by the next.
constexpr qint64 typingPauseMs = 2000;

/// Whether `widget` is a field the player types text into; `holdsText`
/// tells whether it holds any.
bool isTextField(const QWidget* widget, bool* holdsText)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
        *holdsText = !line->text().isEmpty();
        return !line->isReadOnly();
    }
    if (const auto* edit = qobject_cast<const QTextEdit*>(widget)) {
        *holdsText = !edit->document()->isEmpty();
        return !edit->isReadOnly();
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) {
        *holdsText = !plain->document()->isEmpty();
        return !plain->isReadOnly();
    }
    return false;
}

} // namespace

TableFocus::TableFocus(GameWindow* t)
    : QObject(t)
    , table(t)
    , home(t->view())
{
    for (QWidget* question : std::initializer_list<QWidget*>{table->meldAuction(), table->seatedWindow(),
                                                             table->watchingWindow(), table->washoutWindow(),
                                                             table->scoreBoard(), table->inactiveWindow()})
        questions.emplace_back(question);
    // What shows and hides on the page is seen wherever it is done: a
    // control's hide hands the keys on before Qt picks the next widget.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) { keysBefore = old; });
}

TableFocus::~TableFocus() = default;

bool TableFocus::isQuestion(const QObject* widget) const
{
    if (widget == nullptr || widget->parent() != table)
        return false;
    if (const auto* box = qobject_cast<const ModelessMsgBox::MsgBox*>(widget))
        return !box->isAnswered();
    return std::any_of(questions.cbegin(), questions.cend(), [widget](const QPointer<QWidget>& q) { return q == widget; });
}

QWidget* TableFocus::topQuestion() const
{
    // Children are kept in their stacking order, the top one last.
    const QObjectList& children = table->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if (isQuestion(*it) && static_cast<QWidget*>(*it)->isVisible())
            return static_cast<QWidget*>(*it);
    return nullptr;
}

QWidget* TableFocus::questionOf(QWidget* widget) const
{
    for (QWidget* w = widget; w != nullptr && w != table; w = w->parentWidget())
        if (isQuestion(w))
            return w;
    return nullptr;
}

QWidget* TableFocus::firstFocus(QWidget* question) const
{
    if (auto* chooser = qobject_cast<MeldAuction*>(question)) {
        // A win on offer is never thrown away by a Space meant for a pass.
        if (chooser->mahjongButton()->isVisibleTo(chooser))
            return chooser;
        UPushButton* pass = chooser->passButton();
        return pass->isVisibleTo(chooser) && pass->isEnabled() ? static_cast<QWidget*>(pass) : chooser;
    }
    if (auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(question))
        return box->defaultButton() != nullptr ? static_cast<QWidget*>(box->defaultButton()) : box;
    if (auto* dialog = qobject_cast<MahjongDialog*>(question))
        if (QAbstractButton* answer = dialog->defaultAnswer())
            return answer;
    return question;
}

bool TableFocus::typing(const QWidget* field) const
{
    // A field in another window (a password asked in a dialog) keeps its
    // keys whatever this window's focus is; the question takes this one's.
    bool holdsText = false;
    if (field == nullptr || field->window() != table->window() || !isTextField(field, &holdsText))
        return false;
    return holdsText || (field == typedIn && typedAt.isValid() && typedAt.elapsed() < typingPauseMs);
}

void TableFocus::giveKeys(QWidget* question)
{
    waiting = nullptr;
    if (question == nullptr) {
        if (home != nullptr)
            home->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(question)) {
        box->takeKeys(Qt::OtherFocusReason);
        return;
    }
    firstFocus(question)->setFocus(Qt::OtherFocusReason);
}

void TableFocus::onShown(QWidget* widget, bool shown)
{
    if (widget == table) {
        // The page came up: its keys are the table's, or its question's.
        if (!holdsKeys(table))
            giveKeys(topQuestion());
        return;
    }
    if (!table->isVisible())
        return; // taken when the page comes up
    if (isQuestion(widget)) {
        if (widget != topQuestion() || widget == waiting)
            return;
        // A box takes the keys itself as it shows: from a field typed in,
        // they go back there.
        const bool box = qobject_cast<ModelessMsgBox::MsgBox*>(widget) != nullptr;
        QWidget* field = box && shown && holdsKeys(widget) ? keysBefore.data() : QApplication::focusWidget();
        if (!typing(field)) {
            if (!holdsKeys(widget))
                giveKeys(widget);
            return;
        }
        waiting = widget;
        if (box)
            QMetaObject::invokeMethod(
                this,
                [this, field = QPointer<QWidget>(field)] {
                    if (field != nullptr && waiting != nullptr && holdsKeys(waiting) && field->isVisible())
                        field->setFocus(Qt::OtherFocusReason);
                },
                Qt::QueuedConnection);
        return;
    }
    // A question that asks something new (a win offered beside a pass)
    // puts the keys where its answer is now.
    QWidget* question = questionOf(widget);
    if (question != nullptr && qobject_cast<QAbstractButton*>(widget) != nullptr && holdsKeys(question)
        && question == topQuestion())
        giveKeys(question);
}

void TableFocus::onHidden(QWidget* widget)
{
    if (widget == waiting)
        waiting = nullptr;
    if (widget == table || !table->isVisible() || !table->isAncestorOf(widget) || !holdsKeys(widget))
        return;
    QWidget* question = questionOf(widget);
    if (question != nullptr && question != widget && question->isVisible()) {
        QWidget* next = firstFocus(question);
        (next == widget || widget->isAncestorOf(next) ? question : next)->setFocus(Qt::OtherFocusReason);
        return;
    }
    giveKeys(topQuestion());
}

bool TableFocus::onKeyPress(QWidget* field, const QKeyEvent* key)
{
    bool holdsText = false;
    if (field != QApplication::focusWidget() || !isTextField(field, &holdsText))
        return false;
    // Tab leaves the field for the question that came while it was typed in.
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && waiting != nullptr
        && field->window() == table->window() && table->isVisible() && waiting == topQuestion()
        && !holdsKeys(waiting)) {
        giveKeys(waiting);
        return true;
    }
    typedIn = field;
    typedAt.start();
    return false;
}

bool TableFocus::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && watched->isWidgetType())
        return onKeyPress(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    if ((type != QEvent::Show && type != QEvent::Hide && type != QEvent::ZOrderChange) || event->spontaneous()
        || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != table && !table->isAncestorOf(widget))
        return false;
    if (type == QEvent::Hide)
        onHidden(widget);
    else if (type == QEvent::Show || isQuestion(widget))
        onShown(widget, type == QEvent::Show);
    return false;
}
