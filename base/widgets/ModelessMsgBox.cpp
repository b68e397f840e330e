#include "ModelessMsgBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <bit>
#include <utility>

namespace {

/// Asks for 30 px per button beyond the buttons' own minimum widths.
class CustomDialogButtonBox : public QDialogButtonBox
{
public:
    using QDialogButtonBox::QDialogButtonBox;

    QSize minimumSizeHint() const override
    {
        int width = 0;
        int height = 0;
        const auto all = buttons();
        for (QAbstractButton* b : all) {
            width += b->minimumSize().width() + 30;
            height = qMax(height, b->minimumSize().height());
        }
        return QSize(width - 10, height);
    }
};

enum class Kind { Information = 1, Warning, Critical, Question };

/// Marks a widget that answers keys only while nothing covers it.
constexpr char keysOnTopProperty[] = "answersKeysOnTop";

ModelessMsgBox::MsgBox* createMsgBox(QWidget* parent, Kind, const QString& title, const QString& text,
                                     QDialogButtonBox::StandardButtons buttons,
                                     QDialogButtonBox::StandardButton defaultButton)
{
    // No kind shows an icon: the four differ only in what they say.
    auto* box = new ModelessMsgBox::MsgBox(title, text, parent);
    box->setButtons(buttons, defaultButton);
    return box;
}

/// The button a box gives the keys to when they are not in it: its default
/// button, else its first; null when it has none.
QAbstractButton* firstFocus(const ModelessMsgBox::MsgBox* box)
{
    if (QPushButton* button = box->defaultButton())
        return button;
    return box->buttonBox()->buttons().value(0);
}

/// The box that takes the keys when `leaving` goes: the top one of the
/// other boxes shown beside it, else any other box shown in its window;
/// null when there is none.
ModelessMsgBox::MsgBox* boxBelow(const QWidget* leaving)
{
    if (QWidget* parent = leaving->parentWidget()) {
        // Siblings are kept in their stacking order, the top one last.
        const QObjectList siblings = parent->children();
        for (auto it = siblings.crbegin(); it != siblings.crend(); ++it) {
            auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(*it);
            if (box != nullptr && box != leaving && box->isVisible())
                return box;
        }
    }
    const auto all = leaving->window()->findChildren<ModelessMsgBox::MsgBox*>();
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        if (*it != leaving && (*it)->isVisible())
            return *it;
    return nullptr;
}

/// The boxes beside which one with this parent would be shown.
QList<ModelessMsgBox::MsgBox*> siblingBoxes(const QWidget* parent)
{
    QList<ModelessMsgBox::MsgBox*> boxes;
    if (parent != nullptr) {
        boxes = parent->findChildren<ModelessMsgBox::MsgBox*>(Qt::FindDirectChildrenOnly);
    } else {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(w))
                boxes << box;
    }
    return boxes;
}

/// The unanswered boxes beside `parent` that `keep` selects, oldest first.
template <typename Keep>
QList<ModelessMsgBox::MsgBox*> openBoxes(const QWidget* parent, Keep keep)
{
    QList<ModelessMsgBox::MsgBox*> open;
    for (ModelessMsgBox::MsgBox* box : siblingBoxes(parent))
        if (!box->isAnswered() && keep(box))
            open << box;
    std::sort(open.begin(), open.end(),
              [](const ModelessMsgBox::MsgBox* a, const ModelessMsgBox::MsgBox* b) { return a->serial() < b->serial(); });
    return open;
}

/// The text a box shows, for the log.
QString boxText(const ModelessMsgBox::MsgBox* box)
{
    const QLabel* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText"));
    return label != nullptr ? label->text().left(200) : QString();
}

/// Makes room for a new box: the one about the same subject goes, or, for a
/// box of its kind only, the oldest of a full kind. Each box costs a widget
/// tree, and a flood of one kind from the server is no message a player can
/// read; but the newest is the one still to answer, so it is never the one
/// left out. A notice (one button) of a full kind whose newest box came in
/// this same turn of the event loop, unseen yet, goes into that box instead:
/// the result, null when a new box is to be made.
ModelessMsgBox::MsgBox* makeRoom(const QWidget* parent, const QString& title, const QString& subject, bool notice)
{
    if (!subject.isEmpty()) {
        ModelessMsgBox::closeAbout(parent, subject);
        return nullptr;
    }
    const QList<ModelessMsgBox::MsgBox*> kind = openBoxes(parent, [&title](const ModelessMsgBox::MsgBox* box) {
        return box->subject().isEmpty() && box->windowTitle() == title;
    });
    if (kind.size() >= ModelessMsgBox::maxOfAKind) {
        ModelessMsgBox::MsgBox* newest = kind.last();
        if (notice && !newest->isSettled() && newest->buttonBox()->buttons().size() == 1) {
            qWarning().noquote() << QStringLiteral("box \"%1\" takes a newer text: %2 of its kind are open (text: %3)")
                                        .arg(title)
                                        .arg(ModelessMsgBox::maxOfAKind)
                                        .arg(boxText(newest));
            return newest;
        }
    }
    for (qsizetype i = 0; i + ModelessMsgBox::maxOfAKind <= kind.size(); ++i) {
        qWarning().noquote() << QStringLiteral("box \"%1\" closed for a newer one: %2 of its kind are open (text: %3)")
                                    .arg(title)
                                    .arg(ModelessMsgBox::maxOfAKind)
                                    .arg(boxText(kind.at(i)));
        kind.at(i)->close();
    }
    return nullptr;
}

/// The box or the widget marked to answer keys only on top that holds `object`
/// (a widget, or a shortcut Qt dispatches); null when none does.
QWidget* keyOwner(QObject* object, QEvent::Type type)
{
    // Keys also reach the web engine's own objects, which are built without
    // type information and must not be asked anything: a widget is found
    // among the widgets, and only a shortcut is taken as what it says it is.
    QWidget* widget = nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    if (const auto it = std::find(widgets.cbegin(), widgets.cend(), object); it != widgets.cend())
        widget = *it;
    else if (type == QEvent::Shortcut)
        for (QObject* o = object; o != nullptr && widget == nullptr; o = o->parent())
            widget = o->isWidgetType() ? static_cast<QWidget*>(o) : nullptr;
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (w->property(keysOnTopProperty).toBool())
            return w;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

/// Whether the key is one a text field edits with: typed there it is the
/// field's, never a window-wide shortcut's (clearing a chat line must not
/// decline a claim).
bool textFieldKey(QObject* watched, const QKeyEvent* key)
{
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (key->key() != Qt::Key_Escape && key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(watched))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(watched))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(watched))
        return !plain->isReadOnly();
    return false;
}

/// Holds back the keys and shortcuts meant for a box (or a marked widget)
/// that something covers, and hands the keys to what covers it: Enter must
/// not answer a question the player cannot see. A marked widget that goes
/// while it has the keys hands them to the box now on top, as a box does.
class KeyGate : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::ShortcutOverride && textFieldKey(watched, static_cast<QKeyEvent*>(event))) {
            // Unless the field lies in something covered: then the key is the top one's.
            QWidget* owner = keyOwner(watched, type);
            if (owner == nullptr || !owner->isVisible() || ModelessMsgBox::coveringWidget(owner) == nullptr) {
                event->accept();
                return true;
            }
        }
        if (type == QEvent::Hide && watched->isWidgetType() && !event->spontaneous()) {
            handKeysOn(static_cast<QWidget*>(watched));
            return false;
        }
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease
            && type != QEvent::Shortcut)
            return false;
        QWidget* owner = keyOwner(watched, type);
        if (owner == nullptr || !owner->isVisible())
            return false;
        QWidget* top = ModelessMsgBox::coveringWidget(owner);
        if (top == nullptr)
            return false;
        if (type != QEvent::Shortcut) {
            QWidget* last = top->focusWidget();
            (last != nullptr && top->isAncestorOf(last) && last->isVisible() ? last : top)->setFocus(Qt::OtherFocusReason);
        }
        // Not taken by the covered widget: the window's shortcuts (the
        // chooser's Escape on top) still see it.
        if (type == QEvent::ShortcutOverride)
            event->ignore();
        return true;
    }

private:
    static void handKeysOn(QWidget* leaving)
    {
        if (!leaving->property(keysOnTopProperty).toBool() || qobject_cast<ModelessMsgBox::MsgBox*>(leaving) != nullptr
            || !leaving->isAncestorOf(QApplication::focusWidget()))
            return;
        if (ModelessMsgBox::MsgBox* below = boxBelow(leaving))
            below->takeKeys(Qt::OtherFocusReason);
    }
};

ModelessMsgBox::MsgBox* showBox(QWidget* parent, Kind kind, const QString& title, const QString& text,
                                QDialogButtonBox::StandardButtons buttons,
                                QDialogButtonBox::StandardButton defaultButton, const QString& subject,
                                const ModelessMsgBox::WordingMaker& wording = {})
{
    const bool notice = std::popcount(uint(buttons)) == 1;
    if (ModelessMsgBox::MsgBox* fold = makeRoom(parent, title, subject, notice)) {
        fold->setText(text);
        fold->setWording(wording);
        return fold;
    }
    ModelessMsgBox::MsgBox* box = createMsgBox(parent, kind, title, text, buttons, defaultButton);
    box->setWording(wording);
    box->setSubject(subject);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->centerOnParent();
    return box;
}

ModelessMsgBox::MsgBox* showBox(QWidget* parent, Kind kind, const ModelessMsgBox::WordingMaker& wording,
                                QDialogButtonBox::StandardButtons buttons,
                                QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    const ModelessMsgBox::Wording words = wording();
    return showBox(parent, kind, words.title, words.text, buttons, defaultButton, subject, wording);
}

/// Whether no other box of the same parent lies above this one.
bool isTopBox(const ModelessMsgBox::MsgBox* box)
{
    const QWidget* parent = box->parentWidget();
    const QList<ModelessMsgBox::MsgBox*> boxes = siblingBoxes(parent);
    for (auto it = boxes.crbegin(); it != boxes.crend(); ++it)
        if (parent == nullptr || (*it)->isVisibleTo(parent))
            return *it == box;
    return true;
}

}

namespace ModelessMsgBox {

MsgBox::MsgBox(const QString& title, const QString& text, QWidget* parent)
    : MahjongDialog(parent, true)
{
    static quint64 made = 0;
    m_serial = ++made;
    // Settled once control is back in the event loop, where it is painted.
    QMetaObject::invokeMethod(this, [this] { settled = true; }, Qt::QueuedConnection);
    setAttribute(Qt::WA_DeleteOnClose);
    answerKeysOnTop(this);

    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("msgBoxContent"));
    auto* vbox = new QVBoxLayout(content);
    auto* label = new QLabel(text, content);
    label->setObjectName(QStringLiteral("msgBoxText"));
    vbox->addWidget(label);
    buttons = new CustomDialogButtonBox(content);
    buttons->setObjectName(QStringLiteral("msgBoxButtons"));
    vbox->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::clicked, this, &MsgBox::onClicked);
    if (style()->styleHint(QStyle::SH_MessageBox_CenterButtons, nullptr, this) != 0)
        buttons->setCenterButtons(true);
    content->setWindowTitle(title);
    setContentWidget(content);
}

MsgBox::~MsgBox() = default;

void MsgBox::setText(const QString& text)
{
    if (auto* label = findChild<QLabel*>(QStringLiteral("msgBoxText")))
        label->setText(text);
}

void MsgBox::setWording(WordingMaker maker)
{
    wording = std::move(maker);
}

void MsgBox::changeEvent(QEvent* event)
{
    // The standard buttons follow the language by themselves.
    if (event->type() == QEvent::LanguageChange && wording) {
        const Wording words = wording();
        setWindowTitle(words.title);
        setText(words.text);
        // The words, and the standard buttons translated after this box,
        // reach the box's size only through their layouts: it is fitted
        // once they have all changed.
        QMetaObject::invokeMethod(this, &MsgBox::fitContentNow, Qt::QueuedConnection);
    }
    MahjongDialog::changeEvent(event);
}

void MsgBox::fitContentNow()
{
    for (QWidget* holder : {contentWidget(), static_cast<QWidget*>(this)}) {
        holder->layout()->invalidate();
        holder->layout()->activate();
    }
    adjustSize();
}

void MsgBox::setButtons(QDialogButtonBox::StandardButtons mask, QDialogButtonBox::StandardButton defaultButton)
{
    for (uint bit = QDialogButtonBox::Ok; bit <= QDialogButtonBox::RestoreDefaults; bit <<= 1) {
        if ((uint(mask) & bit) == 0)
            continue;
        QPushButton* added = buttons->addButton(QDialogButtonBox::StandardButton(bit));
        if (defaultBtn != nullptr)
            continue;
        if (defaultButton != QDialogButtonBox::NoButton) {
            if (bit == uint(defaultButton))
                defaultBtn = added;
        } else if (buttons->buttonRole(added) == QDialogButtonBox::AcceptRole) {
            defaultBtn = added;
        }
    }
    if (defaultBtn != nullptr) {
        defaultBtn->setDefault(true);
        defaultBtn->setFocus();
    }
    // Return answers with the default button, Escape with the way out.
    setKeyAnswers({defaultBtn}, {escapeButton()});
    buttons->updateGeometry();
    updateGeometry();
    adjustSize();
}

void MsgBox::markCommitting()
{
    auto* safe = qobject_cast<QPushButton*>(escapeButton());
    std::vector<QAbstractButton*> commit;
    for (QAbstractButton* b : buttons->buttons())
        if (b != safe)
            commit.push_back(b);
    if (defaultBtn != nullptr)
        defaultBtn->setDefault(false);
    defaultBtn = safe;
    if (safe != nullptr)
        safe->setDefault(true);
    setCommitting(commit, safe);
}

void MsgBox::onClicked(QAbstractButton* button)
{
    if (answered)
        return;
    answered = true;
    Q_EMIT finished(int(buttons->standardButton(button)));
    // Hidden at once, so that the keys go down the pile now.
    hide();
    deleteLater();
}

void MsgBox::onFinished(int result)
{
    if (answered)
        return;
    answered = true;
    Q_EMIT finished(result);
    hide();
    deleteLater();
}

QAbstractButton* MsgBox::escapeButton() const
{
    const QList<QAbstractButton*> all = buttons->buttons();
    for (QDialogButtonBox::ButtonRole role : {QDialogButtonBox::RejectRole, QDialogButtonBox::NoRole})
        for (QAbstractButton* b : all)
            if (buttons->buttonRole(b) == role)
                return b;
    return all.size() == 1 ? all.first() : nullptr;
}

bool MsgBox::focusNextPrevChild(bool next)
{
    const QList<QAbstractButton*> all = buttons->buttons();
    auto* focus = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (focus == nullptr || !all.contains(focus) || !focus->isEnabled())
        return MahjongDialog::focusNextPrevChild(next);
    for (QWidget* w = focus;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == focus)
            return true;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && all.contains(b) && b->isVisible() && b->isEnabled()) {
            b->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void MsgBox::mousePressEvent(QMouseEvent* event)
{
    MahjongDialog::mousePressEvent(event);
    // A click anywhere on the box brings it to the top and gives it the keys
    // back, where they were in it last.
    raise();
    takeKeys(Qt::MouseFocusReason);
}

void MsgBox::takeKeys(Qt::FocusReason reason)
{
    if (isAncestorOf(QApplication::focusWidget()) || coveringWidget(this) != nullptr)
        return;
    QWidget* last = focusWidget();
    if (last == nullptr || !isAncestorOf(last) || !last->isVisibleTo(this))
        last = firstFocus(this);
    // While its buttons take nothing yet, the box holds the keys itself.
    if (last != nullptr || isGuarded())
        (last != nullptr && last->isEnabled() ? last : this)->setFocus(reason);
}

void MsgBox::hideEvent(QHideEvent* event)
{
    // Sent while the keys are still inside: the box below takes them
    // before the window hands them to its next widget.
    const bool hadKeys = isAncestorOf(QApplication::focusWidget());
    MahjongDialog::hideEvent(event);
    if (hadKeys && !event->spontaneous())
        if (MsgBox* below = boxBelow(this))
            below->takeKeys(Qt::OtherFocusReason);
}

void MsgBox::showEvent(QShowEvent* event)
{
    MahjongDialog::showEvent(event);
    // Keys typed while the box is on the screen answer it; a box shown on a
    // page that was not, takes them when the page comes up.
    if (isAncestorOf(QApplication::focusWidget()) || !isTopBox(this) || coveringWidget(this) != nullptr)
        return;
    if (QAbstractButton* button = firstFocus(this))
        (button->isEnabled() ? static_cast<QWidget*>(button) : this)->setFocus(Qt::OtherFocusReason);
}

void MsgBox::closeEvent(QCloseEvent* event)
{
    if (!answered) {
        answered = true;
        Q_EMIT finished(0);
    }
    MahjongDialog::closeEvent(event);
}

MsgBox* information(QWidget* parent, const QString& title, const QString& text,
                    QDialogButtonBox::StandardButtons buttons, QDialogButtonBox::StandardButton defaultButton,
                    const QString& subject)
{
    return showBox(parent, Kind::Information, title, text, buttons, defaultButton, subject);
}

MsgBox* warning(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Warning, title, text, buttons, defaultButton, subject);
}

MsgBox* critical(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Critical, title, text, buttons, defaultButton, subject);
}

MsgBox* question(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Question, title, text, buttons, defaultButton, subject);
}

MsgBox* information(QWidget* parent, const WordingMaker& wording, QDialogButtonBox::StandardButtons buttons,
                    QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Information, wording, buttons, defaultButton, subject);
}

MsgBox* warning(QWidget* parent, const WordingMaker& wording, QDialogButtonBox::StandardButtons buttons,
                QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Warning, wording, buttons, defaultButton, subject);
}

MsgBox* critical(QWidget* parent, const WordingMaker& wording, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Critical, wording, buttons, defaultButton, subject);
}

MsgBox* question(QWidget* parent, const WordingMaker& wording, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton, const QString& subject)
{
    return showBox(parent, Kind::Question, wording, buttons, defaultButton, subject);
}

MsgBox* committing(MsgBox* box)
{
    if (box != nullptr)
        box->markCommitting();
    return box;
}

MsgBox* plainText(MsgBox* box)
{
    if (box != nullptr) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText")))
            label->setTextFormat(Qt::PlainText);
    }
    return box;
}

void closeAbout(const QWidget* parent, const QString& subject)
{
    if (subject.isEmpty())
        return;
    for (MsgBox* box : openBoxes(parent, [&subject](const MsgBox* b) { return b->subject() == subject; }))
        box->close();
}

QWidget* coveringWidget(const QWidget* widget)
{
    const QRect area(QPoint(0, 0), widget->size());
    for (const QWidget* child = widget; !child->isWindow() && child->parentWidget() != nullptr;
         child = child->parentWidget()) {
        QWidget* parent = child->parentWidget();
        const QRect shown(widget->mapTo(parent, area.topLeft()), area.size());
        // Siblings are kept in their stacking order, the top one last.
        QWidget* top = nullptr;
        bool above = false;
        for (QObject* o : parent->children()) {
            if (o == child) {
                above = true;
                continue;
            }
            if (!above || !o->isWidgetType())
                continue;
            auto* sibling = static_cast<QWidget*>(o);
            if (!sibling->isWindow() && sibling->isVisible() && sibling->geometry().intersects(shown))
                top = sibling;
        }
        if (top != nullptr)
            return top;
    }
    return nullptr;
}

void answerKeysOnTop(QWidget* widget)
{
    widget->setProperty(keysOnTopProperty, true);
    static QPointer<KeyGate> gate;
    if (gate == nullptr && QCoreApplication::instance() != nullptr) {
        gate = new KeyGate(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(gate);
    }
}

void connectFinished(MsgBox* box, std::function<void(int)> callback)
{
    if (box != nullptr)
        new detail::MsgBoxFinishedHelper(box, std::move(callback));
}

namespace detail {

MsgBoxFinishedHelper::MsgBoxFinishedHelper(MsgBox* box, std::function<void(int)> cb)
    : QObject(box->parentWidget())
    , callback(std::move(cb))
{
    connect(box, &MsgBox::finished, this, &MsgBoxFinishedHelper::onFinished);
}

void MsgBoxFinishedHelper::onFinished(int result)
{
    if (callback)
        callback(result);
    deleteLater();
}

}

}
