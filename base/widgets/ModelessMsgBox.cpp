#include "ModelessMsgBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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
ModelessMsgBox::MsgBox* boxBelow(const ModelessMsgBox::MsgBox* leaving)
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

/// Whether `maxOfAKind` boxes with this title are open beside a new one.
bool kindIsFull(const QWidget* parent, const QString& title)
{
    int open = 0;
    for (const ModelessMsgBox::MsgBox* box : siblingBoxes(parent))
        if (!box->isAnswered() && box->windowTitle() == title)
            ++open;
    return open >= ModelessMsgBox::maxOfAKind;
}

ModelessMsgBox::MsgBox* showBox(QWidget* parent, Kind kind, const QString& title, const QString& text,
                                QDialogButtonBox::StandardButtons buttons,
                                QDialogButtonBox::StandardButton defaultButton)
{
    // Boxes come from what the server sends as well: a flood of one kind is
    // no message a player can read, and each box costs a widget tree.
    if (kindIsFull(parent, title)) {
        qWarning().noquote() << QStringLiteral("box \"%1\" not shown: %2 of its kind are open (text: %3)")
                                    .arg(title)
                                    .arg(ModelessMsgBox::maxOfAKind)
                                    .arg(text.left(200));
        return nullptr;
    }
    ModelessMsgBox::MsgBox* box = createMsgBox(parent, kind, title, text, buttons, defaultButton);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->centerOnParent();
    return box;
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
    setAttribute(Qt::WA_DeleteOnClose);

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
        // The Enter key answers with the default button.
        defaultBtn->setDefault(true);
        defaultBtn->setFocus();
    }
    buttons->updateGeometry();
    updateGeometry();
    adjustSize();
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

QAbstractButton* MsgBox::buttonForKey(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return nullptr;
    if (event->key() == Qt::Key_Escape)
        return escapeButton();
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return nullptr;
    // A button the user moved the focus to answers for itself; anywhere
    // else in the box (its text, an address field) Enter means the default.
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (focused != nullptr && buttons->isAncestorOf(focused))
        return focused;
    return defaultBtn;
}

bool MsgBox::event(QEvent* event)
{
    // Escape and Enter typed inside the box are the box's: no shortcut of
    // the window behind it (the claim chooser's Escape) may take them first.
    if (event->type() == QEvent::ShortcutOverride && buttonForKey(static_cast<QKeyEvent*>(event)) != nullptr) {
        event->accept();
        return true;
    }
    return MahjongDialog::event(event);
}

void MsgBox::keyPressEvent(QKeyEvent* event)
{
    if (QAbstractButton* button = buttonForKey(event)) {
        button->click();
        return;
    }
    MahjongDialog::keyPressEvent(event);
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
    if (isAncestorOf(QApplication::focusWidget()))
        return;
    QWidget* last = focusWidget();
    if (last == nullptr || !isAncestorOf(last) || !last->isVisibleTo(this))
        last = firstFocus(this);
    if (last != nullptr)
        last->setFocus(reason);
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
    if (isAncestorOf(QApplication::focusWidget()) || !isTopBox(this))
        return;
    if (QAbstractButton* button = firstFocus(this))
        button->setFocus(Qt::OtherFocusReason);
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
                    QDialogButtonBox::StandardButtons buttons, QDialogButtonBox::StandardButton defaultButton)
{
    return showBox(parent, Kind::Information, title, text, buttons, defaultButton);
}

MsgBox* warning(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                QDialogButtonBox::StandardButton defaultButton)
{
    return showBox(parent, Kind::Warning, title, text, buttons, defaultButton);
}

MsgBox* critical(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton)
{
    return showBox(parent, Kind::Critical, title, text, buttons, defaultButton);
}

MsgBox* question(QWidget* parent, const QString& title, const QString& text, QDialogButtonBox::StandardButtons buttons,
                 QDialogButtonBox::StandardButton defaultButton)
{
    return showBox(parent, Kind::Question, title, text, buttons, defaultButton);
}

MsgBox* plainText(MsgBox* box)
{
    if (box != nullptr) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText")))
            label->setTextFormat(Qt::PlainText);
    }
    return box;
}

bool isBoxShown(const QWidget* window)
{
    for (const MsgBox* box : window->findChildren<MsgBox*>())
        if (box->isVisible())
            return true;
    return false;
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
