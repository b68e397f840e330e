// The friend detail pane: picture, presence and the friend's tables,
// matched from the table paths of the friend's best presence against the
// live lobby table model.
#include "FriendDetailWindow.h"

#include "ChatOutputWidget.h"
#include "CompactTableView.h"
#include "FriendsRosterModel.h"
#include "PlayerDb.h"
#include "XMPPRosterItem.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpacerItem>
#include <QToolTip>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

/// The room between the pane's buttons and its edges.
constexpr int ButtonMargin = 8;

} // namespace

FriendDetailWindow::FriendDetailWindow(QWidget* parent)
    : QWidget(parent)
{
    // The style sheet gives the pane its own background.
    setAttribute(Qt::WA_StyledBackground);
    setupUi();
    m_lobbyModel.setFilter(nullptr);
    m_tableListView->setModel(&m_lobbyModel);
    clear();
    connect(m_tableListView, &CompactTableView::tableDoubleClicked, this, &FriendDetailWindow::onTableDoubleClicked);
    connect(m_removeButton, &QPushButton::clicked, this, &FriendDetailWindow::removeClicked);
    connect(m_joinButton, &QPushButton::clicked, this, &FriendDetailWindow::on_joinButton_clicked);
    connect(m_watchButton, &QPushButton::clicked, this, &FriendDetailWindow::on_watchButton_clicked);
    // After the view: the cards are in place when the buttons look at them.
    connect(&m_lobbyModel, &QAbstractItemModel::rowsInserted, this, &FriendDetailWindow::updateTableButtons);
    connect(&m_lobbyModel, &QAbstractItemModel::rowsRemoved, this, &FriendDetailWindow::updateTableButtons);
    connect(&m_lobbyModel, &QAbstractItemModel::modelReset, this, &FriendDetailWindow::updateTableButtons);
    connect(&m_lobbyModel, &QAbstractItemModel::layoutChanged, this, &FriendDetailWindow::updateTableButtons);
    updateTableButtons();
}

void FriendDetailWindow::updateTableButtons()
{
    const bool listed = !m_tableListView->tableIdsTopDown().isEmpty();
    m_joinButton->setEnabled(listed);
    m_watchButton->setEnabled(listed);
}

qint32 FriendDetailWindow::chosenTable(QWidget* button)
{
    // Only a card the player chose, and can see chosen: none is chosen for
    // the player, not even the only one.
    const qint32 tableId = m_tableListView->currentTableId();
    if (tableId == -1)
        QToolTip::showText(button->mapToGlobal(QPoint(0, button->height())),
                           tr("Which table? Click one of the tables first."), button);
    return tableId;
}

FriendDetailWindow::~FriendDetailWindow()
{
    // The view must let go of the lobby model before the model (a member) goes.
    m_tableListView->setModel(nullptr);
}

void FriendDetailWindow::setupUi()
{
    setObjectName(QStringLiteral("FriendDetailView"));
    resize(283, 290);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    verticalLayout->addLayout(horizontalLayout_2);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_frame->setMinimumSize(0, 0);
    m_frame->setFrameShadow(QFrame::Plain);
    m_frame->setLineWidth(0);
    auto* horizontalLayout_3 = new QHBoxLayout(m_frame);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setContentsMargins(0, 0, 0, 0);

    auto* verticalLayout2 = new QVBoxLayout();
    verticalLayout2->setObjectName(QStringLiteral("verticalLayout2"));
    m_avatarLabel = new QLabel(m_frame);
    m_avatarLabel->setObjectName(QStringLiteral("avatarLabel"));
    m_avatarLabel->setMinimumSize(PictureSize, PictureSize);
    m_avatarLabel->setAlignment(Qt::AlignCenter);
    verticalLayout2->addWidget(m_avatarLabel);
    verticalLayout2->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout_3->addLayout(verticalLayout2);

    auto* vert4 = new QVBoxLayout();
    vert4->setObjectName(QStringLiteral("vert4"));
    auto* gridLayout = new QGridLayout();
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setHorizontalSpacing(1);
    gridLayout->setVerticalSpacing(0);
    gridLayout->setContentsMargins(10, 0, 0, 0);
    m_presenceIconLabel = new QLabel(m_frame);
    m_presenceIconLabel->setObjectName(QStringLiteral("presenceIconLabel"));
    m_presenceIconLabel->setVisible(false);
    gridLayout->addWidget(m_presenceIconLabel, 0, 0);
    m_nameLabel = new QLabel(m_frame);
    m_nameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_nameLabel->setTextFormat(Qt::PlainText);
    gridLayout->addWidget(m_nameLabel, 0, 1);
    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    m_presenceAndStatusLabel = new QLabel(m_frame);
    m_presenceAndStatusLabel->setObjectName(QStringLiteral("presenceAndStatusLabel"));
    // Status messages are the friend's own text.
    m_presenceAndStatusLabel->setTextFormat(Qt::PlainText);
    m_presenceAndStatusLabel->setWordWrap(true);
    horizontalLayout->addWidget(m_presenceAndStatusLabel);
    gridLayout->addLayout(horizontalLayout, 1, 1);
    vert4->addLayout(gridLayout);
    vert4->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout_3->addLayout(vert4);
    horizontalLayout_3->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addWidget(m_frame);

    auto* horizontalLayout_4 = new QHBoxLayout();
    horizontalLayout_4->setObjectName(QStringLiteral("horizontalLayout_4"));
    // The buttons keep clear of the pane's edges.
    horizontalLayout_4->setContentsMargins(ButtonMargin, 0, ButtonMargin, 0);
    horizontalLayout_4->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_removeButton = new QPushButton(this);
    m_removeButton->setObjectName(QStringLiteral("removeButton"));
    horizontalLayout_4->addWidget(m_removeButton);
    verticalLayout->addLayout(horizontalLayout_4);

    m_playerIsSeatedLabel = new QLabel(this);
    m_playerIsSeatedLabel->setObjectName(QStringLiteral("playerIsSeatedLabel"));
    verticalLayout->addWidget(m_playerIsSeatedLabel);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setFrameShadow(QFrame::Plain);
    m_scrollArea->setLineWidth(0);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setAlignment(Qt::AlignLeading | Qt::AlignLeft | Qt::AlignTop);
    auto* scrollAreaWidgetContents = new QWidget();
    scrollAreaWidgetContents->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    scrollAreaWidgetContents->setGeometry(0, 0, 282, 118);
    auto* verticalLayout_3 = new QVBoxLayout(scrollAreaWidgetContents);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setSpacing(0);
    verticalLayout_3->setContentsMargins(0, 0, 0, 0);
    m_tableListView = new CompactTableView(scrollAreaWidgetContents);
    m_tableListView->setObjectName(QStringLiteral("tableListView"));
    m_tableListView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);
    verticalLayout_3->addWidget(m_tableListView);
    m_scrollArea->setWidget(scrollAreaWidgetContents);
    // The table cards sit on the pane's own background.
    m_scrollArea->viewport()->setAutoFillBackground(false);
    verticalLayout->addWidget(m_scrollArea);

    auto* hboxLayout = new QHBoxLayout();
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setContentsMargins(ButtonMargin, ButtonMargin, ButtonMargin, ButtonMargin);
    m_joinButton = new QPushButton(this);
    m_joinButton->setObjectName(QStringLiteral("joinButton"));
    hboxLayout->addWidget(m_joinButton);
    m_watchButton = new QPushButton(this);
    m_watchButton->setObjectName(QStringLiteral("watchButton"));
    hboxLayout->addWidget(m_watchButton);
    hboxLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(hboxLayout);

    retranslateUi();
}

void FriendDetailWindow::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("FriendDetailView", "Friend Details"));
    m_removeButton->setText(QCoreApplication::translate("FriendDetailView", "Remove"));
    m_playerIsSeatedLabel->setText(QCoreApplication::translate("FriendDetailView", "Player is seated at:"));
    m_joinButton->setText(QCoreApplication::translate("FriendDetailView", "Join"));
    m_watchButton->setText(QCoreApplication::translate("FriendDetailView", "Watch"));
}

void FriendDetailWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void FriendDetailWindow::setPlayerDb(PlayerDb* playerDb)
{
    if (playerDb == m_playerDb)
        return;
    if (m_playerDb)
        disconnect(m_playerDb, &PlayerDb::playerPictureUpdate, this, &FriendDetailWindow::onPlayerPictureUpdate);
    m_playerDb = playerDb;
    if (m_playerDb)
        connect(m_playerDb, &PlayerDb::playerPictureUpdate, this, &FriendDetailWindow::onPlayerPictureUpdate);
}

void FriendDetailWindow::setTableModel(QAbstractItemModel* model)
{
    m_lobbyModel.setSourceModel(model);
}

void FriendDetailWindow::clear()
{
    m_pid = -1;
    m_jid = XMPPJid();
    m_lobbyModel.setFilter(nullptr);
    m_avatarLabel->clear();
    m_presenceIconLabel->clear();
    m_nameLabel->clear();
    m_presenceAndStatusLabel->clear();
    m_removeButton->setEnabled(false);
}

QString FriendDetailWindow::presenceText(const XMPPRosterItem& item)
{
    if (!(item.subscriptionFlags & (XMPPRosterItem::SubscribedTo | XMPPRosterItem::SubscriptionPending)))
        return QString();
    const XMPPPresence* best = item.bestPresence();
    if (!best)
        return FriendsRosterModel::availabilityText(XMPPPresence::Unavailable, false);
    // The friend's own words: bounded as a chat line is, to a few rows.
    const QString status = ChatOutputWidget::shownText(best->status(), MaxStatusLength);
    if (status.isEmpty())
        return FriendsRosterModel::availabilityText(best->availability(), false);
    //: %1 is availability type, %2 is user status message
    return tr("%1 with status \"%2\"").arg(FriendsRosterModel::availabilityText(best->availability(), true), status);
}

void FriendDetailWindow::setRosterItem(const XMPPRosterItem& item)
{
    if (!m_playerDb)
        throw std::runtime_error("no player db set when setting roster item");
    m_pid = m_playerDb->pidForJid(item.jid);
    m_jid = item.jid;
    onPlayerPictureUpdate(m_pid);
    m_presenceIconLabel->setPixmap(
        FriendsRosterModel::availabilityIcon(item).pixmap(QSize(64, 64), QIcon::Normal, QIcon::Off));
    const QString name = ChatOutputWidget::shownText(m_playerDb->playerNameForJid(item.jid), ChatOutputWidget::MaxNickLength);
    m_nameLabel->setText(name);
    setWindowTitle(tr("Friend details for %1").arg(name));
    m_presenceAndStatusLabel->setText(presenceText(item));

    // Every presence and name change of the friend comes through here: the
    // tables are changed by difference, so the chosen table stays chosen
    // and the lobby paths that stay are not asked for again.
    QSet<int> tableIds;
    QStringList paths;
    // Presences are the friend's own text: they buy at most this many lobby
    // subscriptions.
    const QStringList tables = item.tables(MaxTablePaths);
    for (const QString& path : tables) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        bool ok = false;
        const int tableId = path.mid(slash + 1).toInt(&ok, 10);
        if (!ok)
            continue; // not a table path of ours
        tableIds.insert(tableId);
        paths.append(slash < 0 ? QString() : path.left(slash));
    }
    const bool installed = m_lobbyModel.filter() == &m_tableFilter;
    if (tableIds.isEmpty()) {
        m_lobbyModel.setFilter(nullptr);
        m_tableFilter.tableIds.clear();
        m_tableFilter.paths.clear();
    } else if (!installed) {
        m_tableFilter.tableIds = tableIds;
        m_tableFilter.paths = paths;
        m_lobbyModel.setFilter(&m_tableFilter);
    } else if (tableIds != m_tableFilter.tableIds || paths != m_tableFilter.paths) {
        m_tableFilter.tableIds = tableIds;
        m_tableFilter.paths = paths;
        m_lobbyModel.filterContentChanged();
    }
    m_removeButton->setEnabled(true);
}

void FriendDetailWindow::displayStatusIcon(bool display)
{
    m_presenceIconLabel->setVisible(display);
}

void FriendDetailWindow::onPlayerPictureUpdate(qint32 pid)
{
    if (!m_playerDb || pid != m_pid)
        return;
    // Pictures are stored at most 64 pixels wide and high; smaller ones are
    // brought up to the size of the frame.
    const QPixmap picture = m_playerDb->playerPicture(pid);
    m_avatarLabel->setPixmap(picture.isNull() ? picture
                                              : picture.scaled(PictureSize, PictureSize, Qt::KeepAspectRatio,
                                                               Qt::SmoothTransformation));
}

void FriendDetailWindow::on_joinButton_clicked()
{
    const qint32 tableId = chosenTable(m_joinButton);
    if (tableId != -1)
        Q_EMIT joinTable(tableId);
}

void FriendDetailWindow::on_watchButton_clicked()
{
    const qint32 tableId = chosenTable(m_watchButton);
    if (tableId != -1)
        Q_EMIT watchTable(tableId);
}

void FriendDetailWindow::onTableDoubleClicked(qint32 tableId)
{
    if (tableId != -1)
        Q_EMIT joinTable(tableId);
}
