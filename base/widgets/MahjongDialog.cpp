#include "MahjongDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

/// The buttons of a dialog that left the screen a moment ago, in screen
/// coordinates: a click aimed at one of them may still be on its way.
struct GoneButtons
{
    std::vector<QRect> rects;
    QDeadlineTimer until;
};

std::vector<GoneButtons>& goneButtons()
{
    static std::vector<GoneButtons> gone;
    return gone;
}

/// Where the dialog's shown buttons lie on the screen.
std::vector<QRect> buttonRects(const QWidget* dialog)
{
    std::vector<QRect> rects;
    for (const QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(dialog))
            rects.emplace_back(b->mapToGlobal(QPoint(0, 0)), b->size());
    return rects;
}

int guardLength = 750;

} // namespace

int MahjongDialog::guardMs()
{
    return guardLength;
}

void MahjongDialog::setGuardMs(int ms)
{
    guardLength = ms;
}

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

void MahjongDialog::setCommitting(std::vector<QAbstractButton*> commit, QAbstractButton* keep)
{
    committing.assign(commit.begin(), commit.end());
    setKeyAnswers({keep}, {keep});
    if (isVisible())
        startGuard();
}

void MahjongDialog::startGuard()
{
    if (committing.empty() || content == nullptr)
        return;
    if (guardTimer == nullptr) {
        guardTimer = new QTimer(this);
        guardTimer->setSingleShot(true);
        guardTimer->setInterval(guardMs());
        connect(guardTimer, &QTimer::timeout, this, &MahjongDialog::endGuard);
    }
    // Disabled buttons hand the keys on to the window: they stay on the
    // frame, where a dialog that is a window of its own has them too once
    // it is activated.
    const bool hadKeys = isAncestorOf(QApplication::focusWidget());
    guarded = true;
    content->setEnabled(false);
    if (hadKeys || isWindow())
        setFocus(Qt::OtherFocusReason);
    guardTimer->start();
    stayClear();
}

void MahjongDialog::endGuard()
{
    guarded = false;
    content->setEnabled(true);
    if (isAncestorOf(QApplication::focusWidget()) && isVisible())
        if (QAbstractButton* answer = defaultAnswer())
            answer->setFocus(Qt::OtherFocusReason);
}

void MahjongDialog::stayClear()
{
    if (!guarded || !isVisible())
        return;
    // What a click meant for something else may hit: the spot under the
    // pointer, the buttons of the dialogs beside this one, and those of a
    // dialog that went a moment ago.
    std::vector<QRect> avoid{QRect(QCursor::pos() - QPoint(8, 8), QSize(17, 17))};
    std::vector<GoneButtons>& gone = goneButtons();
    std::erase_if(gone, [](const GoneButtons& g) { return g.until.hasExpired(); });
    for (const GoneButtons& g : gone)
        avoid.insert(avoid.end(), g.rects.cbegin(), g.rects.cend());
    // Dialogs are children of a page, or windows of their own.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QList<MahjongDialog*> dialogs = top->findChildren<MahjongDialog*>();
        if (auto* dialog = qobject_cast<MahjongDialog*>(top))
            dialogs << dialog;
        for (const MahjongDialog* other : dialogs)
            if (other != this && other->isVisible()) {
                const std::vector<QRect> rects = buttonRects(other);
                avoid.insert(avoid.end(), rects.cbegin(), rects.cend());
            }
    }
    // Room for a hand that slips.
    constexpr int margin = 12;
    std::vector<QRect> mine;
    for (const QAbstractButton* b : committing)
        if (b != nullptr && b->isVisibleTo(this))
            mine.emplace_back(QRect(b->mapToGlobal(QPoint(0, 0)), b->size()).adjusted(-margin, -margin, margin, margin));
    const auto hits = [&](QPoint shift) {
        return std::any_of(mine.cbegin(), mine.cend(), [&](const QRect& m) {
            return std::any_of(avoid.cbegin(), avoid.cend(), [&](const QRect& a) { return m.translated(shift).intersects(a); });
        });
    };
    if (!hits(QPoint()))
        return;
    // The least move that takes every committing button past what it covers,
    // the dialog kept whole inside its parent.
    std::vector<QPoint> shifts;
    for (const QRect& a : avoid)
        for (const QRect& m : mine) {
            shifts.emplace_back(0, a.bottom() + 1 - m.top());
            shifts.emplace_back(0, a.top() - 1 - m.bottom());
            shifts.emplace_back(a.right() + 1 - m.left(), 0);
            shifts.emplace_back(a.left() - 1 - m.right(), 0);
        }
    std::sort(shifts.begin(), shifts.end(), [](QPoint a, QPoint b) { return a.manhattanLength() < b.manhattanLength(); });
    const QRect room = parentWidget() != nullptr ? parentWidget()->rect()
                       : screen() != nullptr     ? screen()->availableGeometry()
                                                 : geometry();
    for (const QPoint shift : shifts)
        if (room.contains(geometry().translated(shift)) && !hits(shift)) {
            move(pos() + shift);
            return;
        }
}

void MahjongDialog::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (!event->spontaneous())
        startGuard();
}

void MahjongDialog::hideEvent(QHideEvent* event)
{
    // Not the hide of the first show, which the player never saw.
    if (!event->spontaneous() && !preparing) {
        std::vector<GoneButtons>& gone = goneButtons();
        if (gone.size() >= 8)
            gone.erase(gone.begin());
        gone.push_back(GoneButtons{buttonRects(this), QDeadlineTimer(guardMs())});
    }
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
    if (guarded) {
        event->accept();
        return;
    }
    if (QAbstractButton* button = answerFor(event)) {
        button->click();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool MahjongDialog::event(QEvent* event)
{
    // In its first moments a question that commits takes no key at all, Tab
    // and the window's plain-key shortcuts included: they were meant for
    // what was there before.
    if (guarded && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto mods = static_cast<QKeyEvent*>(event)->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        if (event->type() == QEvent::KeyPress || mods == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
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
        preparing = true;
        show();
        hide();
        preparing = false;
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
    stayClear();
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
