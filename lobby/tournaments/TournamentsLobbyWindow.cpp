// The tournaments tab: the list, the short information page and the open tournaments.
#include "TournamentsLobbyWindow.h"

#include "ChosenRow.h"
#include "LobbyRoles.h"
#include "TableTexts.h"
#include "TmntSortFilterProxyModel.h"
#include "TournamentTexts.h"
#include "TournamentWindow.h"
#include "TournamentsController.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyView.h"
#include "UTabWidget.h"
#include "Utils.h"

#include <QDebug>
#include <QEvent>
#include <QHeaderView>
#include <QTabBar>
#include <QTreeView>
#include <QWebEngineView>

namespace {
void makeTransparent(QWidget* view)
{
    QPalette palette = view->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Window, Qt::transparent);
        palette.setBrush(group, QPalette::Base, Qt::transparent);
    }
    view->setPalette(palette);
    view->setAttribute(Qt::WA_OpaquePaintEvent, false);
}

/// Room for a cell's text beside the item's own margins.
constexpr int CellMargins = 16;
/// How wide a tournament's name may make its tab, in pixels, and how much
/// of a name is measured at all.
constexpr int MaxTabTitleWidth = 200;
constexpr int MaxTabTitleLength = 200;
}

TournamentsLobbyWindow::TournamentsLobbyWindow(TournamentsController* controller, QWidget* parent)
    : QWidget(parent)
    , controller(controller)
    , ui(std::make_unique<TournamentsLobbyView>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    connect(ui->webView, &QWebEngineView::loadFinished, this, &TournamentsLobbyWindow::onLoadFinished);
    ui->webView->hide();
    // A tab is as wide as its title: the title is already short, and the
    // style's padding must not make the bar cut it once more.
    ui->tmntTabs->tabBar()->setElideMode(Qt::ElideNone);
}

void TournamentsLobbyWindow::fitPlayersColumn()
{
    // "100 of 128" and its translations must show whole.
    QTreeView* view = ui->tournamentsLobbyTreeView;
    view->ensurePolished(); // the style sheet's font
    const QFontMetrics metrics(view->font());
    const int needed = std::max(metrics.horizontalAdvance(tournamentPlayersText(8888, 8888)),
                                metrics.horizontalAdvance(view->model() ? view->model()->headerData(
                                                              TournamentsLobbyModel::PlayersColumn, Qt::Horizontal)
                                                                              .toString()
                                                                        : QString()))
                       + CellMargins;
    if (view->columnWidth(TournamentsLobbyModel::PlayersColumn) < needed)
        view->setColumnWidth(TournamentsLobbyModel::PlayersColumn, needed);
}

void TournamentsLobbyWindow::fitBuyInColumn()
{
    // Widened to the widest buy-in the list may show: a figure cut short
    // ("$1,234...") names another sum. The texts of the range's ends, and of
    // the sum below a whole end (one more digit with its cents), bound them.
    if (!model)
        return;
    const auto [low, high] = model->buyInRange();
    if (std::pair(low, high) == fittedBuyIns)
        return;
    fittedBuyIns = {low, high};
    QTreeView* view = ui->tournamentsLobbyTreeView;
    view->ensurePolished(); // the style sheet's font
    const QFontMetrics metrics(view->font());
    int needed = 0;
    for (qint64 cents : {qint64(0), qint64(low), qint64(low) + 1, qint64(high), qint64(high) - 1})
        needed = std::max(needed, metrics.horizontalAdvance(moneyOrFree(cents)));
    needed += CellMargins;
    if (view->columnWidth(TournamentsLobbyModel::BuyInColumn) < needed)
        view->setColumnWidth(TournamentsLobbyModel::BuyInColumn, needed);
}

void TournamentsLobbyWindow::fitColumns()
{
    fitPlayersColumn();
    fittedBuyIns.reset();
    fitBuyInColumn();
}

TournamentsLobbyWindow::~TournamentsLobbyWindow() = default;

UTabWidget* TournamentsLobbyWindow::tabs() const
{
    return ui->tmntTabs;
}

QTreeView* TournamentsLobbyWindow::treeView() const
{
    return ui->tournamentsLobbyTreeView;
}

QWebEngineView* TournamentsLobbyWindow::infoView() const
{
    return ui->webView;
}

void TournamentsLobbyWindow::setModel(TournamentsLobbyModel* newModel)
{
    QTreeView* view = ui->tournamentsLobbyTreeView;
    if (!proxy) {
        proxy = new TmntSortFilterProxyModel(this);
        proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
        chosen = new ChosenRow(view, LobbyRoles::IdRole, this);
        chosen->setModel(proxy);
        view->header()->setSortIndicatorShown(true);
        view->header()->setSortIndicator(TournamentsLobbyModel::StartColumn, Qt::AscendingOrder);
        proxy->sort(TournamentsLobbyModel::StartColumn, Qt::AscendingOrder);
        connect(chosen, &ChosenRow::chosenChanged, this, &TournamentsLobbyWindow::onChosenChanged);
    }
    if (model)
        disconnect(model, nullptr, this, nullptr);
    model = newModel;
    proxy->setSourceModel(model);
    const int widths[] = {20, 150, 80, 65, 60, 160, 100};
    for (int column = 0; column < int(std::size(widths)); ++column)
        view->setColumnWidth(column, widths[column]);
    fitColumns();
    if (model) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &TournamentsLobbyWindow::fitBuyInColumn);
        connect(model, &QAbstractItemModel::dataChanged, this, &TournamentsLobbyWindow::fitBuyInColumn);
    }
    // The name takes the width the others leave: the columns fill the list
    // and never run past it.
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(TournamentsLobbyModel::NameColumn, QHeaderView::Stretch);
}

int TournamentsLobbyWindow::tournamentIdAt(const QModelIndex& index) const
{
    if (!ui->tournamentsLobbyTreeView->model() || !index.isValid())
        return -1;
    const QVariant id = index.data(LobbyRoles::IdRole);
    return id.isValid() ? id.toInt() : -1;
}

void TournamentsLobbyWindow::onChosenChanged(qint32 id)
{
    // Nothing chosen, or the tournament gone: no page of another one stays.
    const QUrl url = id != -1 && model && model->hasTournament(id) ? model->tournament(id).shortInfoUrl : QUrl();
    shownPage = url;
    if (url.isEmpty()) {
        ui->webView->setContent(QByteArray(), QString(), QUrl());
    } else {
        qDebug() << "showing" << url;
        ui->webView->load(url);
    }
    ui->webView->hide();
}

void TournamentsLobbyWindow::onLoadFinished(bool ok)
{
    // Clearing the view finishes a load too; an empty page stays hidden.
    if (!ok || shownPage.isEmpty())
        return;
    makeTransparent(ui->webView);
    ui->webView->show();
}

void TournamentsLobbyWindow::on_tournamentsLobbyTreeView_doubleClicked(const QModelIndex& index)
{
    const int id = tournamentIdAt(index);
    if (index.isValid() && id != -1)
        displayTournament(id);
}

void TournamentsLobbyWindow::on_showInfoButton_clicked()
{
    const qint32 id = chosen ? chosen->id() : -1;
    if (id != -1)
        displayTournament(id);
}

TournamentWindow* TournamentsLobbyWindow::tournamentWindow(qint32 tmntId) const
{
    for (int i = 1; i < ui->tmntTabs->count(); ++i) {
        auto* window = qobject_cast<TournamentWindow*>(ui->tmntTabs->widget(i));
        if (window && window->tournamentId() == tmntId)
            return window;
    }
    return nullptr;
}

void TournamentsLobbyWindow::displayTournament(qint32 tmntId)
{
    if (TournamentWindow* open = tournamentWindow(tmntId)) {
        ui->tmntTabs->setCurrentIndex(ui->tmntTabs->indexOf(open));
        return;
    }
    if (!model || !model->hasTournament(tmntId)) {
        qWarning("Tournamen non existent %d", tmntId);
        return;
    }
    const TournamentInfo& info = model->tournament(tmntId);
    TournamentWindow* window = controller->openTournamentWindow(info);
    // The name as far as a tab of its own may reach (a few names side by
    // side), the whole one as its tool tip. A tab title reads "&" as a
    // shortcut mark; the server's name shows as written.
    QTabBar* bar = ui->tmntTabs->tabBar();
    bar->ensurePolished(); // the style sheet's font
    const QString title = elideText(bar->fontMetrics(), info.name.left(MaxTabTitleLength), Qt::ElideRight, MaxTabTitleWidth)
                              .replace(QLatin1Char('&'), QLatin1String("&&"));
    const int index = ui->tmntTabs->addTab(window, title);
    bar->setTabToolTip(index, plainToolTip(info.name));
    ui->tmntTabs->setCurrentIndex(index);
    connect(window, &TournamentWindow::closeWindow, this, &TournamentsLobbyWindow::onCloseTournamentWindow);
}

void TournamentsLobbyWindow::onCloseTournamentWindow(int tmntId)
{
    if (ui->tmntTabs->count() < 2)
        return;
    TournamentWindow* window = tournamentWindow(tmntId);
    if (!window)
        return;
    ui->tmntTabs->removeTab(ui->tmntTabs->indexOf(window));
    window->deleteLater();
}

void TournamentsLobbyWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (model)
            model->retranslate();
        fitColumns();
    } else if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) {
        fitColumns();
    }
    QWidget::changeEvent(event);
}
