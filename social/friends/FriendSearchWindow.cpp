// The friend search: form request, search, result list and the choice of
// a result, all answered by the client's search signals under this
// window's own request tag.
#include "FriendSearchWindow.h"

#include "XMPPClient.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpacerItem>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

const QString FriendSearchWindow::RequestTag = QStringLiteral("FriendSearchWindow");

FriendSearchWindow::FriendSearchWindow(XMPPClient* client, const XMPPJid& searchJid, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_searchJid(searchJid)
    , m_searchForm(XMPPDataForm::DataForm)
{
    setupUi();
    m_resultList->setColumnCount(1);

    connect(client, &XMPPClient::connected, this, &FriendSearchWindow::onConnected);
    connect(client, &XMPPClient::disconnected, this, &FriendSearchWindow::onDisconnected);
    // A connection that fails never comes up: the search is as offline as the panes.
    connect(client, &XMPPClient::xmppError, this, &FriendSearchWindow::onDisconnected);
    connect(client, &XMPPClient::socketError, this, &FriendSearchWindow::onDisconnected);
    connect(client, &XMPPClient::requestSearchFormResult, this, &FriendSearchWindow::onRequestSearchFormResult);
    connect(client, &XMPPClient::requestSearchFormError, this, &FriendSearchWindow::onRequestSearchFormError);
    connect(client, &XMPPClient::searchReport, this, &FriendSearchWindow::onSearchReport);
    connect(client, &XMPPClient::searchError, this, &FriendSearchWindow::onSearchError);

    connect(m_searchInput, &QLineEdit::returnPressed, this, &FriendSearchWindow::on_searchButton_clicked);
    connect(m_searchInput, &QLineEdit::textChanged, this, &FriendSearchWindow::onSearchInputChanged);
    connect(m_searchButton, &QPushButton::clicked, this, &FriendSearchWindow::on_searchButton_clicked);

    m_resultList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_resultList, &QWidget::customContextMenuRequested, this, &FriendSearchWindow::onResultTableContextMenu);
    connect(m_resultList, &QTreeWidget::currentItemChanged, this, &FriendSearchWindow::onSelectionChanged);

    m_addToFriendsButton->setEnabled(false);
    connect(m_addToFriendsButton, &QPushButton::clicked, this, &FriendSearchWindow::onAddAction);
    connect(m_resultList, &QTreeWidget::itemDoubleClicked, this, &FriendSearchWindow::onAddAction);

    m_addAction = new QAction(this);
    connect(m_addAction, &QAction::triggered, this, &FriendSearchWindow::onAddAction);
    m_contextMenu = new QMenu(this);
    m_contextMenu->addAction(m_addAction);

    m_searchInput->setEnabled(false);
    m_searchButton->setEnabled(false);
    m_offline = client->state() == XMPPClient::UnconnectedState;
    setOwnTexts();

    if (client->state() == XMPPClient::SessionState)
        requestForm();
}

FriendSearchWindow::~FriendSearchWindow() = default;

void FriendSearchWindow::setupUi()
{
    setObjectName(QStringLiteral("FriendSearchView"));
    // The style sheet may give the search a body of its own over the page.
    setAttribute(Qt::WA_StyledBackground);
    resize(303, 304);
    setMinimumSize(300, 0);
    setMaximumWidth(600);
    auto* verticalLayout_2 = new QVBoxLayout(this);
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    auto* verticalLayout = new QVBoxLayout();
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout_2->addLayout(verticalLayout);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    m_searchInput = new QLineEdit(this);
    m_searchInput->setObjectName(QStringLiteral("searchInput"));
    m_searchInput->setMinimumWidth(160);
    m_searchInput->setMaxLength(50);
    horizontalLayout->addWidget(m_searchInput);
    m_searchButton = new QPushButton(this);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    horizontalLayout->addWidget(m_searchButton);
    verticalLayout->addLayout(horizontalLayout);

    m_resultFrame = new QFrame(this);
    m_resultFrame->setObjectName(QStringLiteral("resultFrame"));
    m_resultFrame->setFrameShape(QFrame::NoFrame);
    m_resultFrame->setLineWidth(0);
    auto* verticalLayout_3 = new QVBoxLayout(m_resultFrame);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setContentsMargins(0, 0, 0, 0);
    m_resultList = new QTreeWidget(m_resultFrame);
    m_resultList->setObjectName(QStringLiteral("resultList"));
    m_resultList->setMinimumSize(140, 200);
    m_resultList->setRootIsDecorated(false);
    m_resultList->setUniformRowHeights(true);
    m_resultList->setItemsExpandable(false);
    m_resultList->setSortingEnabled(false);
    m_resultList->setExpandsOnDoubleClick(false);
    verticalLayout_3->addWidget(m_resultList);
    m_statusLabel = new QLabel(m_resultFrame);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setTextFormat(Qt::PlainText);
    verticalLayout_3->addWidget(m_statusLabel);
    verticalLayout->addWidget(m_resultFrame);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setContentsMargins(0, 0, 0, 0);
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_addToFriendsButton = new QPushButton(this);
    m_addToFriendsButton->setObjectName(QStringLiteral("addToFriendsButton"));
    horizontalLayout_2->addWidget(m_addToFriendsButton);
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout_2);

    retranslateUi();
}

void FriendSearchWindow::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("FriendSearchView", "Friend search results"));
    m_searchButton->setText(QCoreApplication::translate("FriendSearchView", "Search"));
    m_addToFriendsButton->setText(QCoreApplication::translate("FriendSearchView", "Add to friends"));
}

void FriendSearchWindow::setOwnTexts()
{
    m_addAction->setText(tr("Add to friends"));
    m_addAction->setToolTip(tr("Add item to friends list"));
    m_resultList->setHeaderLabels({tr("User")});
    if (m_offline)
        m_statusLabel->setText(tr("Chat is offline until the next login"));
    else if (m_noNameField)
        m_statusLabel->setText(tr("This search service cannot search by name"));
    else if (m_searchFailed)
        m_statusLabel->setText(tr("Search error"));
    else if (m_foundCount >= 0)
        m_statusLabel->setText(tr("%Ln user(s) found", "", m_foundCount));
}

void FriendSearchWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        setOwnTexts();
    }
    QWidget::changeEvent(event);
}

void FriendSearchWindow::setSearchText(const QString& text)
{
    m_searchInput->setText(text);
}

void FriendSearchWindow::requestForm()
{
    m_client->requestSearchForm(m_searchJid, RequestTag);
}

void FriendSearchWindow::startSearch()
{
    if (m_searchInput->text().isEmpty())
        return;
    if (m_searchField && !m_waiting)
        search();
    else
        m_waiting = true;
}

void FriendSearchWindow::search()
{
    if (m_searchInput->text().isEmpty()) {
        m_waiting = false;
        return;
    }
    if (!m_searchField) {
        m_waiting = true;
        return;
    }
    m_searchField->value = m_searchInput->text();
    m_client->search(m_searchJid, m_searchForm, RequestTag);
    m_waiting = false;
}

void FriendSearchWindow::on_searchButton_clicked()
{
    search();
}

void FriendSearchWindow::onSearchInputChanged(const QString& text)
{
    m_searchButton->setEnabled(text.size() >= 2);
}

void FriendSearchWindow::onConnected()
{
    m_offline = false;
    m_statusLabel->clear();
    requestForm();
}

void FriendSearchWindow::onDisconnected()
{
    // An error in the session (a refused line) leaves the session up.
    if (m_client->state() == XMPPClient::SessionState)
        return;
    m_offline = true;
    m_statusLabel->setText(tr("Chat is offline until the next login"));
    m_foundCount = -1;
    m_searchFailed = false;
    m_noNameField = false;
    m_searchInput->setEnabled(false);
    m_searchButton->setEnabled(false);
    m_searchField = nullptr;
    m_waiting = false;
}

void FriendSearchWindow::onRequestSearchFormResult(const XMPPDataForm& form, const QString& requestTag)
{
    if (requestTag != RequestTag)
        return;
    m_searchForm = form;
    m_searchField = nullptr;
    for (int i = 0; i < m_searchForm.fieldCount(); ++i) {
        XMPPDataForm::Field& field = m_searchForm.fieldAt(i);
        if (field.type == XMPPDataForm::TextSingle && field.var == QLatin1String("search"))
            m_searchField = &field;
    }
    m_noNameField = !m_searchField;
    if (!m_searchField) {
        // The input stays off: the user is told why.
        setOwnTexts();
        return;
    }
    m_searchInput->setEnabled(true);
    m_searchInput->setFocus();
    if (m_waiting)
        search();
}

void FriendSearchWindow::onRequestSearchFormError(const QString& requestTag)
{
    if (requestTag != RequestTag)
        return;
    m_searchButton->setEnabled(false);
    m_searchFailed = true;
    m_statusLabel->setText(tr("Search error"));
}

void FriendSearchWindow::onSearchReport(const XMPPDataReport& report, const QString& requestTag)
{
    if (requestTag != RequestTag)
        return;
    m_resultList->clear();
    int count = 0;
    for (const QMap<QString, QString>& row : report.rows) {
        XMPPJid jid;
        try {
            jid = XMPPJid::fromText(row.value(QStringLiteral("jid")));
        } catch (const std::exception&) {
            continue; // a part over the length limit: no usable address
        }
        const QString name = row.value(QStringLiteral("Name"));
        if (jid.toString().isEmpty() || name.isEmpty())
            continue;
        auto* item = new QTreeWidgetItem(m_resultList);
        item->setData(0, Qt::DisplayRole, name);
        item->setData(0, Qt::UserRole, QVariant::fromValue(jid));
        ++count;
    }
    m_resultList->sortItems(0, Qt::AscendingOrder);
    m_foundCount = count;
    m_searchFailed = false;
    m_statusLabel->setText(tr("%Ln user(s) found", "", count));
}

void FriendSearchWindow::onSearchError(const QString& requestTag)
{
    if (requestTag != RequestTag)
        return;
    m_searchInput->setEnabled(true);
    m_searchButton->setEnabled(true);
    m_searchFailed = true;
    m_statusLabel->setText(tr("Search error"));
}

void FriendSearchWindow::onAddAction()
{
    QTreeWidgetItem* current = m_resultList->currentItem();
    if (!current)
        return;
    const QVariant data = current->data(0, Qt::UserRole);
    if (data.canConvert<XMPPJid>())
        Q_EMIT selectedJid(data.value<XMPPJid>());
}

void FriendSearchWindow::onResultTableContextMenu(const QPoint& pos)
{
    QTreeWidgetItem* item = m_resultList->itemAt(pos);
    if (!item)
        return;
    m_resultList->setCurrentItem(item);
    m_addAction->setEnabled(true);
    m_contextMenu->popup(m_resultList->viewport()->mapToGlobal(pos));
}

void FriendSearchWindow::onSelectionChanged(QTreeWidgetItem* current, QTreeWidgetItem*)
{
    m_addToFriendsButton->setEnabled(current != nullptr);
}
