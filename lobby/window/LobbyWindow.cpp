// The lobby tab: its form, the "lobby/" filter settings and the join and
// watch requests.
#include "LobbyWindow.h"

#include "ChosenRow.h"
#include "FilterMode.h"
#include "LobbyModel.h"
#include "LobbyTableFilter.h"
#include "SettingsStore.h"
#include "TableCapacityDelegate.h"
#include "TableModel.h"
#include "Utils.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

/// The form's own texts, in the form's context.
struct LobbyView
{
    Q_DECLARE_TR_FUNCTIONS(LobbyView)
};

const char regularPath[] = "101/Regular";

bool isChecked(int state)
{
    return state == Qt::Checked;
}

QCheckBox* checkBox(const char* name, QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

}

LobbyWindow::LobbyWindow(QWidget* parent)
    : QWidget(parent)
    , filter(new LobbyTableFilter(this))
{
    setupUi();

    // Restoring a box that changes to checked runs its slot, which writes
    // the key back and adjusts the filter.
    freeBet->setCheckState(settingsCheckState(settings, "lobby/playforfree", true));
    moneyBet->setCheckState(settingsCheckState(settings, "lobby/playformoney", true));

    connect(quellmarkGames, &QCheckBox::stateChanged, this, &LobbyWindow::onQuellmarkGamesChanged);
    connect(sitNGoGames, &QCheckBox::stateChanged, this, &LobbyWindow::onSittNGoGamesChanged);
    quellmarkGames->setCheckState(settingsCheckState(settings, "lobby/singlehand", true));
    sitNGoGames->setCheckState(settingsCheckState(settings, "lobby/fullgame", true));
    filter->setGameTypeFilterActive(true);

    connect(classicRules, &QCheckBox::stateChanged, this, &LobbyWindow::onClassicRulesChanged);
    connect(internationalRules, &QCheckBox::stateChanged, this, &LobbyWindow::onInternationalRulesChanged);
    connect(riichiRules, &QCheckBox::stateChanged, this, &LobbyWindow::onRiichiRulesChanged);
    classicRules->setCheckState(settingsCheckState(settings, "lobby/classic", true));
    internationalRules->setCheckState(settingsCheckState(settings, "lobby/international", true));
    riichiRules->setCheckState(settingsCheckState(settings, "lobby/riichi", true));
    filter->setRulesetFilterActive(true);

    const Qt::CheckState empty = settingsCheckState(settings, "lobby/excludeemptytables", false);
    excludeEmptyTablesCheckBox->setCheckState(empty);
    filter->setEmptyTablesMode(empty == Qt::Checked ? FilterExclude : FilterAny);
    const Qt::CheckState full = settingsCheckState(settings, "lobby/excludefulltables", false);
    excludeFullTablesCheckBox->setCheckState(full);
    filter->setFullTablesMode(full == Qt::Checked ? FilterExclude : FilterAny);

    connect(freeTextSearch, &QLineEdit::textChanged, this, &LobbyWindow::onFreeTextSearchChanged);

    chosen = new ChosenRow(lobbyTreeView, Qt::UserRole, this);
    chosen->setModel(filter);
    lobbyTreeView->setItemDelegate(new TableCapacityDelegate(this));
    auto* lobbyModel = new LobbyModel(this);
    lobbyModel->setLobbyPath(QLatin1String(regularPath));
    filter->setSourceModel(lobbyModel);
    lobbyTreeView->sortByColumn(0, Qt::AscendingOrder);

    // The value columns follow their values: measured again a moment after
    // rows come (a snapshot's come in many batches), and a cell that changes
    // widens its column at once if it no longer fits. A measure looks at up
    // to a thousand rows, far too much for every seat update.
    columnFit = new QTimer(this);
    columnFit->setSingleShot(true);
    columnFit->setInterval(200);
    connect(columnFit, &QTimer::timeout, this, &LobbyWindow::fitColumnsToHeaders);
    connect(filter, &QAbstractItemModel::rowsInserted, this, &LobbyWindow::fitColumnsSoon);
    connect(filter, &QAbstractItemModel::modelReset, this, &LobbyWindow::fitColumnsSoon);
    connect(filter, &QAbstractItemModel::headerDataChanged, this, &LobbyWindow::fitColumnsSoon);
    // Only the sorted column shows the sort mark: it alone needs its room.
    connect(lobbyTreeView->header(), &QHeaderView::sortIndicatorChanged, this, &LobbyWindow::fitColumnsSoon);
    connect(filter, &QAbstractItemModel::dataChanged, this, &LobbyWindow::growColumnsFor);

    retranslate();
}

LobbyWindow::~LobbyWindow()
{
    // The LobbyModel gives up its subscription as the children go, which may
    // take the last money table away: the half-destroyed window must not hear it.
    if (tableModel)
        disconnect(tableModel, nullptr, this, nullptr);
}

void LobbyWindow::setupUi()
{
    setObjectName(QStringLiteral("LobbyView"));
    resize(738, 595);
    setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    lobbyViewTopFrame = new QFrame(this);
    lobbyViewTopFrame->setObjectName(QStringLiteral("lobbyViewTopFrame"));
    lobbyViewTopFrame->setFrameShape(QFrame::NoFrame);
    auto* vboxLayout1 = new QVBoxLayout(lobbyViewTopFrame);
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));
    vboxLayout1->setSpacing(9);
    const QMargins m = vboxLayout1->contentsMargins();
    vboxLayout1->setContentsMargins(0, m.top(), 0, m.bottom());
    infoLabel = new QLabel(lobbyViewTopFrame);
    infoLabel->setObjectName(QStringLiteral("infoLabel"));
    infoLabel->setWordWrap(true);
    vboxLayout1->addWidget(infoLabel);

    auto* frame_2 = new QFrame(lobbyViewTopFrame);
    frame_2->setObjectName(QStringLiteral("frame_2"));
    frame_2->setLineWidth(0);
    auto* horizontalLayout_3 = new QHBoxLayout(frame_2);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    const QMargins m3 = horizontalLayout_3->contentsMargins();
    horizontalLayout_3->setContentsMargins(m3.left(), 0, m3.right(), 0);

    groupBox = new QGroupBox(frame_2);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto* verticalLayout = new QVBoxLayout(groupBox);
    riichiRules = checkBox("riichiRules", groupBox);
    internationalRules = checkBox("internationalRules", groupBox);
    classicRules = checkBox("classicRules", groupBox);
    verticalLayout->addWidget(riichiRules);
    verticalLayout->addWidget(internationalRules);
    verticalLayout->addWidget(classicRules);
    horizontalLayout_3->addWidget(groupBox);

    buyInGroup = new QGroupBox(frame_2);
    buyInGroup->setObjectName(QStringLiteral("buyInGroup"));
    auto* verticalLayout_3 = new QVBoxLayout(buyInGroup);
    freeBet = checkBox("freeBet", buyInGroup);
    moneyBet = checkBox("moneyBet", buyInGroup);
    verticalLayout_3->addWidget(freeBet);
    verticalLayout_3->addWidget(moneyBet);
    horizontalLayout_3->addWidget(buyInGroup);

    groupBox_3 = new QGroupBox(frame_2);
    groupBox_3->setObjectName(QStringLiteral("groupBox_3"));
    auto* verticalLayout_2 = new QVBoxLayout(groupBox_3);
    quellmarkGames = checkBox("quellmarkGames", groupBox_3);
    sitNGoGames = checkBox("sitNGoGames", groupBox_3);
    verticalLayout_2->addWidget(quellmarkGames);
    verticalLayout_2->addWidget(sitNGoGames);
    horizontalLayout_3->addWidget(groupBox_3);
    vboxLayout1->addWidget(frame_2);
    vboxLayout->addWidget(lobbyViewTopFrame);

    lobbyTreeView = new QTreeView(this);
    lobbyTreeView->setObjectName(QStringLiteral("lobbyTreeView"));
    lobbyTreeView->setFrameShape(QFrame::NoFrame);
    lobbyTreeView->setAlternatingRowColors(false);
    lobbyTreeView->setRootIsDecorated(false);
    lobbyTreeView->setItemsExpandable(false);
    lobbyTreeView->setSortingEnabled(true);
    lobbyTreeView->setAllColumnsShowFocus(true);
    // Every row is one line: a seat change then repaints one row, and the
    // view never measures thousands of rows.
    lobbyTreeView->setUniformRowHeights(true);
    vboxLayout->addWidget(lobbyTreeView);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(0);
    auto* horizontalLayout = new QHBoxLayout(frame);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    excludeFullTablesCheckBox = checkBox("excludeFullTablesCheckBox", frame);
    excludeEmptyTablesCheckBox = checkBox("excludeEmptyTablesCheckBox", frame);
    horizontalLayout->addWidget(excludeFullTablesCheckBox);
    horizontalLayout->addWidget(excludeEmptyTablesCheckBox);
    horizontalLayout->addStretch();
    label = new QLabel(frame);
    label->setObjectName(QStringLiteral("label"));
    horizontalLayout->addWidget(label);
    freeTextSearch = new QLineEdit(frame);
    freeTextSearch->setObjectName(QStringLiteral("freeTextSearch"));
    freeTextSearch->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    freeTextSearch->setMinimumWidth(200);
    horizontalLayout->addWidget(freeTextSearch);
    vboxLayout->addWidget(frame);
    vboxLayout->addSpacing(6);

    auto* hboxLayout = new QHBoxLayout;
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    joinButton = new QPushButton(this);
    joinButton->setObjectName(QStringLiteral("joinButton"));
    watchButton = new QPushButton(this);
    watchButton->setObjectName(QStringLiteral("watchButton"));
    hboxLayout->addWidget(joinButton);
    hboxLayout->addWidget(watchButton);
    hboxLayout->addStretch();
    vboxLayout->addLayout(hboxLayout);

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void LobbyWindow::retranslateUi()
{
    infoLabel->setText(LobbyView::tr("Choose a table to join in the list below. Enjoy!"));
    groupBox->setTitle(LobbyView::tr("Rules"));
    riichiRules->setText(LobbyView::tr("Riichi"));
    internationalRules->setText(LobbyView::tr("International"));
    classicRules->setText(LobbyView::tr("Classic"));
    buyInGroup->setTitle(LobbyView::tr("Buy-in"));
    freeBet->setText(LobbyView::tr("Play for free"));
    moneyBet->setText(LobbyView::tr("Real money"));
    groupBox_3->setTitle(LobbyView::tr("Game type"));
    quellmarkGames->setText(LobbyView::tr("Single hand"));
    sitNGoGames->setText(LobbyView::tr("Full game"));
    excludeFullTablesCheckBox->setText(LobbyView::tr("Exclude full tables"));
    excludeEmptyTablesCheckBox->setText(LobbyView::tr("Exclude empty tables"));
    label->setText(LobbyView::tr("Find:"));
    joinButton->setText(LobbyView::tr("Join"));
    watchButton->setText(LobbyView::tr("Watch"));
}

void LobbyWindow::retranslate()
{
    retranslateUi();
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(filter->sourceModel())) {
        if (auto* tables = qobject_cast<TableModel*>(proxy->sourceModel()))
            tables->retranslate();
    }
    onHasMoneraryTablesChanged(moneyTablesShown);
    fitColumnsToHeaders();
}

void LobbyWindow::fitColumnsToHeaders()
{
    // Every column but the name's is as wide as its header and its values
    // ask, in the language shown, with room for the sort mark only in the
    // sorted column (the header's own measure gives every column that room);
    // the name column takes the rest, so that a name is cut only when the
    // values leave no room.
    if (columnFit)
        columnFit->stop();
    QHeaderView* header = lobbyTreeView->header();
    const QAbstractItemView* values = lobbyTreeView;
    const bool marked = header->isSortIndicatorShown();
    for (int column = 1; column < header->count(); ++column) {
        header->setSortIndicatorShown(marked && column == header->sortIndicatorSection());
        header->resizeSection(column, std::max(header->sectionSizeHint(column), values->sizeHintForColumn(column)));
    }
    header->setSortIndicatorShown(marked);
}

void LobbyWindow::fitColumnsSoon()
{
    // A running wait is not started over: a steady stream of rows still
    // gets its measure.
    if (!columnFit->isActive())
        columnFit->start();
}

void LobbyWindow::growColumnsFor(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    // A few rows are measured here; more at once wait for the next fit.
    constexpr int maxMeasuredRows = 8;
    if (bottomRight.row() - topLeft.row() >= maxMeasuredRows) {
        fitColumnsSoon();
        return;
    }
    QHeaderView* header = lobbyTreeView->header();
    for (int column = std::max(1, topLeft.column()); column <= bottomRight.column(); ++column) {
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
            const int wanted = lobbyTreeView->sizeHintForIndex(filter->index(row, column)).width();
            if (wanted > header->sectionSize(column))
                header->resizeSection(column, wanted);
        }
    }
}

void LobbyWindow::setModel(TableModel* model)
{
    if (tableModel)
        disconnect(tableModel, nullptr, this, nullptr);
    tableModel = model;
    static_cast<LobbyModel*>(filter->sourceModel())->setSourceModel(model);
    fitColumnsToHeaders();
    // The name column takes what the others leave, so that every column
    // shows without a horizontal scroll bar whatever the language's widths.
    lobbyTreeView->header()->setStretchLastSection(false);
    lobbyTreeView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(model, &TableModel::hasMoneraryTablesChanged, this, &LobbyWindow::onHasMoneraryTablesChanged);
    onHasMoneraryTablesChanged(model->hasMoneraryTables());
}

void LobbyWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

qint32 LobbyWindow::tableIdForIndex(const QModelIndex& index) const
{
    if (lobbyTreeView->model() == nullptr)
        return -1;
    const QVariant id = lobbyTreeView->model()->data(index, Qt::UserRole);
    return id.isValid() ? id.toInt() : -1;
}

void LobbyWindow::on_joinButton_clicked()
{
    const qint32 id = chosen->id();
    if (id == -1)
        return;
    qDebug() << "join clicked:" << id;
    Q_EMIT joinTable(id);
}

void LobbyWindow::on_watchButton_clicked()
{
    const qint32 id = chosen->id();
    if (id == -1)
        return;
    qDebug() << "watch clicked:" << id;
    Q_EMIT watchTable(id);
}

void LobbyWindow::on_lobbyTreeView_doubleClicked(const QModelIndex& index)
{
    if (index.row() < 0 || index.column() < 0 || index.model() == nullptr)
        return;
    const qint32 id = tableIdForIndex(index);
    if (id != -1)
        Q_EMIT joinTable(id);
}

void LobbyWindow::applyBuyInMask()
{
    if (!moneyTablesShown) {
        filter->setBuyInMask(FilterAny);
        return;
    }
    filter->setBuyInMask((moneyBet->isChecked() ? 2 : 0) | (freeBet->isChecked() ? 1 : 0));
}

void LobbyWindow::on_freeBet_stateChanged(int state)
{
    SettingsStore::instance().setValue(QStringLiteral("lobby/playforfree"), isChecked(state));
    applyBuyInMask();
}

void LobbyWindow::on_moneyBet_stateChanged(int state)
{
    SettingsStore::instance().setValue(QStringLiteral("lobby/playformoney"), isChecked(state));
    applyBuyInMask();
}

void LobbyWindow::rulesetChanged(const char* key, int ruleset, int state)
{
    SettingsStore::instance().setValue(QLatin1String(key), isChecked(state));
    if (isChecked(state))
        filter->addRuleset(ruleset);
    else
        filter->removeRuleset(ruleset);
}

void LobbyWindow::gameTypeChanged(const char* key, int gameType, int state)
{
    SettingsStore::instance().setValue(QLatin1String(key), isChecked(state));
    if (isChecked(state))
        filter->addGameType(gameType);
    else
        filter->removeGameType(gameType);
}

void LobbyWindow::onClassicRulesChanged(int state)
{
    rulesetChanged("lobby/classic", 0, state);
}

void LobbyWindow::onInternationalRulesChanged(int state)
{
    rulesetChanged("lobby/international", 1, state);
}

void LobbyWindow::onRiichiRulesChanged(int state)
{
    rulesetChanged("lobby/riichi", 2, state);
}

void LobbyWindow::onQuellmarkGamesChanged(int state)
{
    gameTypeChanged("lobby/singlehand", 0, state);
}

void LobbyWindow::onSittNGoGamesChanged(int state)
{
    gameTypeChanged("lobby/fullgame", 2, state);
}

void LobbyWindow::on_excludeEmptyTablesCheckBox_stateChanged(int state)
{
    SettingsStore::instance().setValue(QStringLiteral("lobby/excludeemptytables"), isChecked(state));
    filter->setEmptyTablesMode(isChecked(state) ? FilterExclude : FilterAny);
}

void LobbyWindow::on_excludeFullTablesCheckBox_stateChanged(int state)
{
    SettingsStore::instance().setValue(QStringLiteral("lobby/excludefulltables"), isChecked(state));
    filter->setFullTablesMode(isChecked(state) ? FilterExclude : FilterAny);
}

void LobbyWindow::onFreeTextSearchChanged(const QString& text)
{
    filter->setFreeText(text);
}

void LobbyWindow::onHasMoneraryTablesChanged(bool newState)
{
    moneyTablesShown = newState;
    moneyBet->setEnabled(newState);
    buyInGroup->setVisible(newState);
    moneyBet->setText(newState ? tr("Real money") : tr("Real money (soon)"));
    moneyBet->setStyleSheet(newState ? QStringLiteral("/* */") : QString());
    // Hidden buy-in boxes cannot be changed back, so they must not hide tables.
    applyBuyInMask();
}
