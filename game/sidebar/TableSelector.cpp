#include "TableSelector.h"

#include "SelectorButton.h"
#include "TableInfo.h"
#include "TimeSpan.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>

namespace {
/// How far one click on an arrow moves the strip.
constexpr int scrollStep = 40;
}

TableSelector::TableSelector(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tableSelector"));
    auto* hboxLayout = new QHBoxLayout(this);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(0);
    hboxLayout->setContentsMargins(0, 0, 0, 0);
    scrollArea = new QWidget(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setVerticalStretch(1);
    scrollArea->setSizePolicy(policy);
    hboxLayout->addWidget(scrollArea);
    buttons = new QWidget(scrollArea);
    buttons->setObjectName(QStringLiteral("buttons"));
    hboxLayout1 = new QHBoxLayout(buttons);
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    hboxLayout1->setSpacing(0);
    hboxLayout1->setContentsMargins(0, 0, 0, 0);
    selectorLeft = new QToolButton(this);
    selectorLeft->setObjectName(QStringLiteral("selectorLeft"));
    selectorLeft->setArrowType(Qt::LeftArrow);
    hboxLayout->addWidget(selectorLeft);
    selectorRight = new QToolButton(this);
    selectorRight->setObjectName(QStringLiteral("selectorRight"));
    selectorRight->setArrowType(Qt::RightArrow);
    hboxLayout->addWidget(selectorRight);

    group = new QButtonGroup(this);
    group->setExclusive(true);
    lobby = new QPushButton(buttons);
    lobby->setObjectName(QStringLiteral("lobbyButton"));
    lobby->setCheckable(true);
    lobby->setText(tr("Lobby"));
    // The group gives -1 to a button as a request for an id of its own; the
    // Lobby button's -1 is kept by activeTable() and the click relay instead.
    group->addButton(lobby);
    hboxLayout1->addWidget(lobby);

    setAttribute(Qt::WA_NoSystemBackground);
    // The arrows coming or going resize the visible window without resizing
    // the selector: the strip is kept within its ends then too.
    scrollArea->installEventFilter(this);
    connect(group, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* b) { Q_EMIT tableClicked(b == lobby ? -1 : group->id(b)); });
    connect(selectorLeft, &QToolButton::clicked, this, &TableSelector::scrollButtonClicked);
    connect(selectorRight, &QToolButton::clicked, this, &TableSelector::scrollButtonClicked);
    // A button of a group that takes the keys leaves the others out of the Tab
    // chain, as in a row of radio buttons; here each page's button stays a Tab
    // stop, so that Tab reaches a table's button from the lobby.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (auto* b = qobject_cast<QAbstractButton*>(now); b != nullptr && group->buttons().contains(b))
            for (QAbstractButton* each : group->buttons())
                each->setFocusPolicy(Qt::StrongFocus);
    });

    // Shift+Tab comes as Backtab from some keyboards and as Tab from others.
    const std::pair<QKeySequence, int> keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1}};
    for (const auto& [sequence, step] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { cyclePages(step); });
        pageKeys.push_back(shortcut);
    }
}

TableSelector::~TableSelector() = default;

SelectorButton* TableSelector::button(qint32 tableId) const
{
    // Negative ids belong to the group's own numbering, never to a table.
    if (tableId < 0)
        return nullptr;
    return qobject_cast<SelectorButton*>(group->button(tableId));
}

void TableSelector::addTable(const TableInfo& info)
{
    if (info.tableId < 0 || group->button(info.tableId) != nullptr)
        throw std::runtime_error("duplicate table: " + std::to_string(info.tableId));
    auto* b = new SelectorButton(this);
    b->setTableName(info.name);
    if (info.gameType == 1)
        b->setKind(2);
    group->addButton(b, info.tableId);
    hboxLayout1->addWidget(b);
    relayout();
}

void TableSelector::removeTable(qint32 tableId)
{
    SelectorButton* b = button(tableId);
    if (b == nullptr)
        throw std::runtime_error("missing table when removing from table selector, id: " + std::to_string(tableId));
    group->removeButton(b);
    delete b;
    relayout();
}

void TableSelector::setActiveTable(qint32 tableId)
{
    if (tableId == -1) {
        lobby->setChecked(true);
    } else {
        SelectorButton* b = button(tableId);
        if (b == nullptr)
            throw std::runtime_error("set active table for missing id: " + std::to_string(tableId));
        b->setChecked(true);
    }
    relayout();
}

qint32 TableSelector::activeTable() const
{
    QAbstractButton* checked = group->checkedButton();
    return checked == nullptr || checked == lobby ? -1 : group->id(checked);
}

void TableSelector::onTableInfo(const TableInfo& info)
{
    SelectorButton* b = button(info.tableId);
    if (b == nullptr)
        throw std::runtime_error("missing table on table info, id: " + std::to_string(info.tableId));
    b->setTableName(info.name);
    if (info.gameType == 1)
        b->setKind(2);
}

void TableSelector::onTableActivity(qint32 tableId, bool activity, const TimeSpan& ts)
{
    SelectorButton* b = button(tableId);
    if (b == nullptr)
        return;
    b->setTimeout(ts);
    // Kept for the shown table too: once the user turns to another page, its
    // button still says that it waits.
    b->wantsAttention(activity);
    if (activity && group->checkedButton() != b)
        scrollIntoView(b);
}

qint32 TableSelector::askingTable(qint32 except) const
{
    for (int i = 0; i < hboxLayout1->count(); ++i) {
        auto* b = qobject_cast<SelectorButton*>(hboxLayout1->itemAt(i)->widget());
        if (b != nullptr && b->asksForAttention() && group->id(b) != except)
            return group->id(b);
    }
    return -1;
}

void TableSelector::scrollIntoView(const QWidget* button)
{
    hboxLayout1->activate();
    const int x = buttons->x();
    if (button->x() + x < 0)
        moveStrip(-button->x());
    else if (button->geometry().right() + 1 + x > scrollArea->width())
        moveStrip(scrollArea->width() - button->geometry().right() - 1);
}

void TableSelector::cyclePages(int step)
{
    QList<int> pages;
    for (int i = 0; i < hboxLayout1->count(); ++i)
        if (auto* b = qobject_cast<QAbstractButton*>(hboxLayout1->itemAt(i)->widget()))
            pages << (b == lobby ? -1 : group->id(b));
    const qsizetype at = pages.indexOf(activeTable());
    if (pages.size() >= 2)
        Q_EMIT tableClicked(pages.at((at + step + pages.size()) % pages.size()));
}

void TableSelector::relayout()
{
    // Without a table the keys stay with what else goes round with them (the lobby's tabs).
    for (QShortcut* shortcut : pageKeys)
        shortcut->setEnabled(hboxLayout1->count() >= 2);
    const int checked = activeTable();
    const QList<QAbstractButton*> all = group->buttons();
    if (checked == -1) {
        for (QAbstractButton* b : all)
            b->setVisible(b != lobby);
    } else {
        for (QAbstractButton* b : all)
            b->setVisible(b != group->checkedButton() || hboxLayout1->count() >= 3);
    }
    fitNames();
    hboxLayout1->activate();
    buttons->resize(hboxLayout1->sizeHint().width(), scrollArea->height());
    updateScrollButtons();
}

void TableSelector::fitNames()
{
    QList<SelectorButton*> tables;
    for (QAbstractButton* b : group->buttons())
        if (auto* s = qobject_cast<SelectorButton*>(b))
            tables.append(s);
    const bool wasShort = std::any_of(tables.begin(), tables.end(), [](SelectorButton* b) { return b->isShortened(); });
    for (SelectorButton* b : tables)
        b->setShortened(false);
    hboxLayout1->invalidate();
    const bool fits = hboxLayout1->sizeHint().width() <= width();
    for (SelectorButton* b : tables)
        b->setShortened(!fits);
    if (wasShort != !fits)
        hboxLayout1->invalidate();
}

void TableSelector::moveStrip(int x)
{
    x = std::max(x, scrollArea->width() - buttons->width());
    x = std::min(x, 0);
    buttons->move(x, 0);
}

void TableSelector::updateScrollButtons()
{
    const bool overflow = sizeHint().width() > width();
    selectorLeft->setVisible(overflow);
    selectorRight->setVisible(overflow);
    moveStrip(buttons->x());
}

void TableSelector::scrollButtonClicked()
{
    const int x = buttons->x();
    moveStrip(sender() == selectorLeft ? x + scrollStep : x - scrollStep);
}

int TableSelector::stripPosition() const
{
    return buttons->x();
}

QSize TableSelector::sizeHint() const
{
    return buttons->sizeHint();
}

void TableSelector::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitNames();
    hboxLayout1->activate();
    buttons->resize(hboxLayout1->sizeHint().width(), buttons->height());
    updateScrollButtons();
    buttons->resize(buttons->width(), scrollArea->height());
}

bool TableSelector::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scrollArea && event->type() == QEvent::Resize) {
        buttons->resize(buttons->width(), scrollArea->height());
        moveStrip(buttons->x());
    }
    return QWidget::eventFilter(watched, event);
}

void TableSelector::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        lobby->setText(tr("Lobby"));
    QWidget::changeEvent(event);
}
