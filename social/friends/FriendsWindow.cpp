// The friends page: list, detail pane, search and removal. The roster
// model chain lives as long as the window.
#include "FriendsWindow.h"

#include "FriendDetailWindow.h"
#include "FriendSearchWindow.h"
#include "FriendsFilter.h"
#include "FriendsRosterModel.h"
#include "MahjongDialog.h"
#include "SocialLog.h"
#include "TableModel.h"
#include "XMPPClient.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

/// The friends list. A presence changes only a friend's icon (all of one
/// size) and tool tip: its row is painted again, but the list is not
/// measured anew, which for a large roster under a burst of presences would
/// take every turn of the window. What does change sizes (a roster answer,
/// names) is laid out in batches across turns.
class FriendList : public QListView
{
public:
    explicit FriendList(QWidget* parent)
        : QListView(parent)
    {
        setLayoutMode(QListView::Batched);
        setBatchSize(250);
    }

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override
    {
        const bool sizesKept = !roles.isEmpty() && std::all_of(roles.begin(), roles.end(), [](int role) {
            return role == Qt::DecorationRole || role == Qt::ToolTipRole;
        });
        if (sizesKept)
            QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        else
            QListView::dataChanged(topLeft, bottomRight, roles);
    }
};

}

FriendsWindow::FriendsWindow(XMPPClient* client, PlayerDb* playerDb, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_playerDb(playerDb)
{
    setupUi();
    m_friendSearchEdit->setEnabled(false);
    m_searchButton->setEnabled(false);

    m_filter = new FriendsFilter(this);
    m_rosterModel = new FriendsRosterModel(client, playerDb, this);
    m_filter->setSourceModel(m_rosterModel);
    m_friendList->setModel(m_filter);

    m_friendList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_friendList, &QWidget::customContextMenuRequested, this, &FriendsWindow::onFriendListContextMenu);

    m_friendDetail->setPlayerDb(playerDb);

    connect(m_friendList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FriendsWindow::onCurrentChanged);
    connect(m_filter, &QAbstractItemModel::dataChanged, this, &FriendsWindow::onDataChanged);
    // The current row can also vanish (hidden by the filter, removed or reset);
    // the pane must not keep showing a friend who is gone.
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, &FriendsWindow::showCurrentItem);
    connect(m_filter, &QAbstractItemModel::modelReset, this, &FriendsWindow::showCurrentItem);

    connect(m_friendDetail, &FriendDetailWindow::joinTable, this, &FriendsWindow::joinTable);
    connect(m_friendDetail, &FriendDetailWindow::watchTable, this, &FriendsWindow::watchTable);
    connect(m_friendDetail, &FriendDetailWindow::removeClicked, this, &FriendsWindow::onRemoveAction);

    connect(m_searchButton, &QPushButton::clicked, this, &FriendsWindow::onDoSearch);
    connect(m_friendSearchEdit, &QLineEdit::returnPressed, this, &FriendsWindow::onDoSearch);

    m_removeAction = new QAction(this);
    // The menu's Remove takes the friend whose row the menu was opened on.
    connect(m_removeAction, &QAction::triggered, this,
            [this] { removeFriend(m_removeAction->data().value<XMPPJid>()); });
    setOwnTexts();
    m_contextMenu = new QMenu(this);
    m_contextMenu->addAction(m_removeAction);
}

FriendsWindow::~FriendsWindow() = default;

void FriendsWindow::setupUi()
{
    setObjectName(QStringLiteral("FriendsView"));
    resize(591, 532);
    setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    m_lobbyChatTopFrame = new QFrame(this);
    m_lobbyChatTopFrame->setObjectName(QStringLiteral("lobbyChatTopFrame"));
    m_lobbyChatTopFrame->setFrameShape(QFrame::NoFrame);
    auto* vboxLayout1 = new QVBoxLayout(m_lobbyChatTopFrame);
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));
    m_label = new QLabel(m_lobbyChatTopFrame);
    m_label->setObjectName(QStringLiteral("label"));
    vboxLayout1->addWidget(m_label);
    // A fixed gap under the heading: the friends list takes the height.
    vboxLayout1->addItem(new QSpacerItem(20, 38, QSizePolicy::Minimum, QSizePolicy::Fixed));
    vboxLayout->addWidget(m_lobbyChatTopFrame);

    auto* hboxLayout = new QHBoxLayout();
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(20);
    hboxLayout->setContentsMargins(6, 6, 6, 6);

    m_friendListGroup = new QGroupBox(this);
    m_friendListGroup->setObjectName(QStringLiteral("friendListGroup"));
    auto* vboxLayout2 = new QVBoxLayout(m_friendListGroup);
    vboxLayout2->setObjectName(QStringLiteral("vboxLayout2"));
    m_friendList = new FriendList(m_friendListGroup);
    m_friendList->setObjectName(QStringLiteral("friendList"));
    m_friendList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_friendList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vboxLayout2->addWidget(m_friendList);
    auto* hboxLayout1 = new QHBoxLayout();
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    m_friendSearchEdit = new QLineEdit(m_friendListGroup);
    m_friendSearchEdit->setObjectName(QStringLiteral("friendSearchEdit"));
    hboxLayout1->addWidget(m_friendSearchEdit);
    m_searchButton = new QPushButton(m_friendListGroup);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    hboxLayout1->addWidget(m_searchButton);
    vboxLayout2->addLayout(hboxLayout1);
    hboxLayout->addWidget(m_friendListGroup);

    m_friendDetailBox = new QGroupBox(this);
    m_friendDetailBox->setObjectName(QStringLiteral("friendDetailBox"));
    auto* hboxLayout2 = new QHBoxLayout(m_friendDetailBox);
    hboxLayout2->setObjectName(QStringLiteral("hboxLayout2"));
    m_friendDetail = new FriendDetailWindow(m_friendDetailBox);
    m_friendDetail->setObjectName(QStringLiteral("friendDetail"));
    hboxLayout2->addWidget(m_friendDetail);
    hboxLayout->addWidget(m_friendDetailBox);
    vboxLayout->addLayout(hboxLayout);

    retranslateUi();
}

void FriendsWindow::retranslateUi()
{
    m_label->setText(QCoreApplication::translate("FriendsView", "Add friends and see when they are online!"));
    m_friendListGroup->setTitle(QCoreApplication::translate("FriendsView", "Friends"));
    m_searchButton->setText(QCoreApplication::translate("FriendsView", "Find friend"));
    m_friendDetailBox->setTitle(QCoreApplication::translate("FriendsView", "Friend Details"));
}

void FriendsWindow::setOwnTexts()
{
    m_removeAction->setText(tr("Remove"));
    m_removeAction->setToolTip(tr("Remove user from list"));
}

void FriendsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        setOwnTexts();
    }
    QWidget::changeEvent(event);
}

void FriendsWindow::setSearchJid(const XMPPJid& jid)
{
    if (jid == m_searchJid)
        return;
    m_searchJid = jid;
    const bool usable = !jid.isEmpty();
    m_friendSearchEdit->setEnabled(usable);
    m_searchButton->setEnabled(usable);
}

void FriendsWindow::setTableModel(TableModel* model)
{
    m_tableModel = model;
    m_friendDetail->setTableModel(model);
}

const XMPPRosterItem* FriendsWindow::currentItem() const
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(m_friendList->model());
    if (!proxy)
        return nullptr;
    const auto* roster = qobject_cast<const FriendsRosterModel*>(proxy->sourceModel());
    if (!roster)
        return nullptr;
    return roster->itemAt(proxy->mapToSource(m_friendList->currentIndex()));
}

const XMPPRosterItem* FriendsWindow::rosterItemForJid(const XMPPJid& jid) const
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(m_friendList->model());
    if (!proxy)
        return nullptr;
    const auto* roster = qobject_cast<const FriendsRosterModel*>(proxy->sourceModel());
    return roster ? roster->itemForJid(jid) : nullptr;
}

void FriendsWindow::showCurrentItem()
{
    if (const XMPPRosterItem* item = currentItem())
        m_friendDetail->setRosterItem(*item);
    else
        m_friendDetail->clear();
}

void FriendsWindow::onCurrentChanged(const QModelIndex&, const QModelIndex&)
{
    showCurrentItem();
}

void FriendsWindow::onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    const QModelIndex current = m_friendList->currentIndex();
    if (!current.isValid() || current.row() < topLeft.row() || current.row() > bottomRight.row())
        return;
    showCurrentItem();
}

void FriendsWindow::onFriendListContextMenu(const QPoint& pos)
{
    const QModelIndex index = m_friendList->indexAt(pos);
    if (!index.isValid())
        return;
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(m_friendList->model());
    if (!proxy)
        return;
    const auto* roster = qobject_cast<const XMPPRosterModel*>(proxy->sourceModel());
    if (!roster)
        return;
    const XMPPRosterItem* item = roster->itemAt(proxy->mapToSource(index));
    if (!item)
        return;
    const int flags = item->subscriptionFlags;
    const bool removable = (flags & XMPPRosterItem::SubscribedTo)
        || ((flags & XMPPRosterItem::SubscriptionPending) && !(flags & XMPPRosterItem::SubscribedFrom));
    m_removeAction->setEnabled(removable);
    m_removeAction->setData(QVariant::fromValue(item->jid));
    m_friendList->setCurrentIndex(index);
    m_contextMenu->popup(m_friendList->viewport()->mapToGlobal(pos));
}

void FriendsWindow::onRemoveAction()
{
    // The friend the pane shows is the one the player saw when pressing
    // Remove; the current row may be another one by then (when a removed
    // friend's row goes, the next one moves up).
    removeFriend(m_friendDetail->shownJid());
}

void FriendsWindow::removeFriend(const XMPPJid& shown)
{
    const XMPPRosterItem* item = shown.isEmpty() ? nullptr : rosterItemForJid(shown);
    if (!item)
        return;
    const XMPPJid jid = item->jid;
    const int flags = item->subscriptionFlags;
    // Nobody is shown until the player picks a friend again, so that a
    // second click on Remove meets no other friend.
    m_friendList->selectionModel()->clear();
    if (flags & XMPPRosterItem::SubscribedFrom) {
        qCDebug(lcSocial) << "unsubscribing";
        m_client->sendSubscription(jid, true);
        // The former friend must stop seeing the own presence too, and with
        // it the tables it names: their subscription is cancelled as well.
        m_client->answerSubscription(jid, 0);
    }
    // Without its item the roster would keep the former friend with no
    // subscription either way; the server tells the friend's side as well.
    qCDebug(lcSocial) << "removing roster item";
    m_client->updateRosterItem(jid, true, QString(), QString());
}

void FriendsWindow::addFriend(const XMPPJid& jid)
{
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(m_friendList->model());
    const auto* roster = proxy ? qobject_cast<const FriendsRosterModel*>(proxy->sourceModel()) : nullptr;
    if (!roster) {
        qCWarning(lcSocial) << "no source model";
        return;
    }
    if (jid.toString() == XMPPJid::fromText(m_client->ownJid()).bare().toString())
        return;
    const XMPPRosterItem* item = roster->itemForJid(jid);
    if (item && (item->subscriptionFlags & (XMPPRosterItem::SubscribedTo | XMPPRosterItem::SubscriptionPending)))
        return;
    m_client->sendSubscription(jid, false);
}

void FriendsWindow::onDoSearch()
{
    openSearchWindow(m_friendSearchEdit->text());
}

void FriendsWindow::openSearchWindow(const QString& text)
{
    if (findChild<FriendSearchWindow*>() || text.isEmpty())
        return;
    auto* dialog = new MahjongDialog(this, true);
    auto* search = new FriendSearchWindow(m_client, m_searchJid, dialog);
    connect(search, &FriendSearchWindow::selectedJid, this, &FriendsWindow::onSelectedJid);
    search->setSearchText(text);
    search->startSearch();
    dialog->setContentWidget(search);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setKeyAnswers({}, {dialog->closeButton()});
    dialog->showDialog(true);
    // The search field takes them once the service's form is known.
    dialog->takeKeys(dialog);
}

void FriendsWindow::onSelectedJid(const XMPPJid& jid)
{
    addFriend(jid);
}

void FriendsWindow::onDetailAction()
{
    const XMPPRosterItem* item = currentItem();
    if (!item)
        return;
    auto* detail = new FriendDetailWindow(this);
    detail->setWindowFlags(Qt::Window);
    detail->setAttribute(Qt::WA_DeleteOnClose);
    detail->setPlayerDb(m_playerDb);
    detail->setRosterItem(*item);
    detail->setTableModel(m_tableModel);
    centerOnMainWindow(detail);
    detail->show();
}

void FriendsWindow::centerOnMainWindow(QWidget* widget)
{
    if (!widget)
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!qobject_cast<QMainWindow*>(window))
            continue;
        widget->move(window->pos().x() + window->width() / 2 - widget->width() / 2,
                     window->pos().y() + window->height() / 2 - widget->height() / 2);
    }
}
