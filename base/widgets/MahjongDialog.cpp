#include "MahjongDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

MahjongDialog::MahjongDialog(QWidget* parent, bool closable)
    : QFrame(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MahjongDialog"));
    resize(91, 29);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("layout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);

    topBarFrame = new QFrame(this);
    topBarFrame->setObjectName(QStringLiteral("topBar"));
    topBarFrame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    topBarFrame->setFrameShape(QFrame::NoFrame);
    topBarFrame->setFrameShadow(QFrame::Raised);
    topBarFrame->setLineWidth(0);

    auto* horizontalLayout = new QHBoxLayout(topBarFrame);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    titleText = new QLabel(topBarFrame);
    titleText->setObjectName(QStringLiteral("titleText"));
    // Titles carry server data (table and tournament names): never markup.
    titleText->setTextFormat(Qt::PlainText);
    horizontalLayout->addWidget(titleText);

    closeBtn = new QToolButton(topBarFrame);
    closeBtn->setObjectName(QStringLiteral("closeButton"));
    horizontalLayout->addWidget(closeBtn);

    layout->addWidget(topBarFrame);

    setWindowTitle(tr("Form"));
    closeBtn->setVisible(closable);
    connect(closeBtn, &QToolButton::clicked, this, &MahjongDialog::onCloseClicked);
}

MahjongDialog::~MahjongDialog() = default;

void MahjongDialog::setContentWidget(QWidget* widget)
{
    content = widget;
    setWindowTitle(content->windowTitle());
    layout->addWidget(content);
    content->installEventFilter(this);
    updateGeometry();
    setVisible(content->isVisible());
}

void MahjongDialog::setFitsContent(bool fits)
{
    fitsContent = fits;
    // The layout's own constraint leaves word-wrapped texts out of the
    // minimum; the dialog works its size out itself.
    layout->setSizeConstraint(fits ? QLayout::SetNoConstraint : QLayout::SetMinAndMaxSize);
    if (fits)
        fitContent();
}

void MahjongDialog::fitContent()
{
    const QSize least = layout->totalMinimumSize();
    const int w = std::max(least.width(), layout->totalSizeHint().width());
    int h = std::max(least.height(), layout->totalSizeHint().height());
    if (layout->hasHeightForWidth())
        h = std::max(least.height(), layout->totalHeightForWidth(w));
    setMinimumSize(w, h);
    if (size() != QSize(w, h)) {
        // A shown dialog keeps its centre where it was.
        const QPoint centre = geometry().center();
        resize(w, h);
        if (isVisible())
            move(std::max(0, centre.x() - w / 2), std::max(0, centre.y() - h / 2));
    }
    clampToParent();
}

void MahjongDialog::setKeyAnswers(std::vector<QAbstractButton*> defaultButtons, std::vector<QAbstractButton*> ways)
{
    defaults = std::move(defaultButtons);
    wayOut = std::move(ways);
}

namespace {

QAbstractButton* firstUsable(const QWidget* dialog, const std::vector<QAbstractButton*>& buttons)
{
    for (QAbstractButton* b : buttons)
        if (b != nullptr && b->isVisibleTo(dialog) && b->isEnabled())
            return b;
    return nullptr;
}

} // namespace

QAbstractButton* MahjongDialog::defaultAnswer() const
{
    return firstUsable(this, defaults);
}

QAbstractButton* MahjongDialog::answerFor(const QKeyEvent* event) const
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return nullptr;
    if (event->key() == Qt::Key_Escape)
        return firstUsable(this, wayOut);
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return nullptr;
    if (defaults.empty() && wayOut.empty())
        return nullptr;
    // A button the player moved the focus to answers for itself, as a
    // dialog box's does; anywhere else Return means the default.
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (focused != nullptr && isAncestorOf(focused) && focused->isEnabled())
        return focused;
    return defaultAnswer();
}

void MahjongDialog::takeKeys(QWidget* where)
{
    QWidget* focus = window()->focusWidget();
    if (focus != nullptr && focus != this && !isAncestorOf(focus))
        keysBefore = focus;
    where->setFocus(Qt::OtherFocusReason);
}

void MahjongDialog::hideEvent(QHideEvent* event)
{
    // Sent while the keys are still inside: they go back before the window
    // hands them to its next widget.
    QWidget* focus = window()->focusWidget();
    if (keysBefore != nullptr && focus != nullptr && isAncestorOf(focus) && keysBefore->isVisible()
        && keysBefore->isEnabled())
        keysBefore->setFocus(Qt::OtherFocusReason);
    keysBefore = nullptr;
    QFrame::hideEvent(event);
}

void MahjongDialog::keyPressEvent(QKeyEvent* event)
{
    if (QAbstractButton* button = answerFor(event)) {
        button->click();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool MahjongDialog::event(QEvent* event)
{
    // Return and Escape typed inside the dialog are its answers: no
    // shortcut of the window behind it (the claim chooser's Escape) may
    // take them first.
    if (event->type() == QEvent::ShortcutOverride && answerFor(static_cast<QKeyEvent*>(event)) != nullptr) {
        event->accept();
        return true;
    }
    // A deferred delete ends inside the base class with the dialog gone:
    // nothing of it may be read after that call.
    if (event->type() != QEvent::LayoutRequest)
        return QFrame::event(event);
    const bool handled = QFrame::event(event);
    if (fitsContent)
        fitContent();
    return handled;
}

void MahjongDialog::showDialog(bool center)
{
    if (!prepared) {
        show();
        hide();
        prepared = true;
    }
    if (fitsContent)
        fitContent();
    show();
    raise();
    if (center)
        centerOnParent();
}

void MahjongDialog::centerOnParent()
{
    QWidget* p = parentWidget();
    if (p == nullptr)
        return;
    // One larger than its parent starts at the parent's top left, not above it.
    move(std::max(0, (p->width() - width()) / 2), std::max(0, (p->height() - height()) / 2));
}

void MahjongDialog::onCloseClicked()
{
    close();
}

void MahjongDialog::clampToParent()
{
    QWidget* p = parentWidget();
    if (p == nullptr)
        return;
    resize(qMin(p->width(), width()), qMin(p->height(), height()));
}

bool MahjongDialog::focusNextPrevChild(bool next)
{
    // Qt asks the disabled widget's parents where its keys go next.
    QWidget* focus = window()->focusWidget();
    if (focus != nullptr && isAncestorOf(focus) && !focus->isEnabled() && isVisible()) {
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QFrame::focusNextPrevChild(next);
}

bool MahjongDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == content && content != nullptr) {
        switch (event->type()) {
        case QEvent::Resize:
            clampToParent();
            break;
        case QEvent::ShowToParent:
            clampToParent();
            show();
            break;
        case QEvent::HideToParent:
            hide();
            break;
        case QEvent::Close:
            close();
            break;
        case QEvent::WindowTitleChange:
            if (windowTitle() != content->windowTitle())
                setWindowTitle(content->windowTitle());
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void MahjongDialog::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && topBarFrame->geometry().contains(pos)) {
        grabPoint = pos;
        dragging = true;
        raise();
    }
}

void MahjongDialog::mouseReleaseEvent(QMouseEvent*)
{
    dragging = false;
}

void MahjongDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging)
        return;
    QWidget* p = parentWidget();
    const QPoint inDialog = mapFromGlobal(event->globalPosition().toPoint());
    if (p == nullptr) {
        move(mapToGlobal(inDialog) - grabPoint);
        return;
    }
    const QPoint cursor = mapToParent(inDialog);
    if (QRect(0, 0, p->width(), p->height()).contains(cursor))
        move(cursor - grabPoint);
}

void MahjongDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowTitleChange) {
        titleText->setText(windowTitle());
        if (content != nullptr && content->windowTitle() != windowTitle())
            content->setWindowTitle(windowTitle());
    }
    QFrame::changeEvent(event);
}
