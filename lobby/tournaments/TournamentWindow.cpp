// One tournament's window: its texts, buttons and the answers of the server.
#include "TournamentWindow.h"

#include "ChosenRow.h"
#include "ConferenceArea.h"
#include "LobbyModel.h"
#include "LobbyRoles.h"
#include "LobbyTableFilter.h"
#include "ModelessMsgBox.h"
#include "ServerTime.h"
#include "SocialServices.h"
#include "TableCapacityDelegate.h"
#include "TableModel.h"
#include "TableTexts.h"
#include "TournamentRankingModel.h"
#include "TournamentRequests.h"
#include "TournamentTexts.h"
#include "TournamentView.h"
#include "UTreeView.h"
#include "Utils.h"

#include <QDebug>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolButton>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

/// Hidden chat notices: own and others' joins and leaves, others' kicks and bans.
constexpr int chatHiddenNotices = 11;

using ModelessMsgBox::Wording;

/// Lays every line of the document on one fixed height with its baseline at
/// the same place. A line's height and baseline follow the fonts it falls
/// back to: a cell of Latin text beside one of CJK text would sit higher
/// than its neighbour in the top-aligned row, by the difference of their
/// ascents. On a fixed height Qt puts the baseline at four fifths of it.
void alignBaselines(QTextDocument* document)
{
    // All the text on one line finds the tallest fonts it falls back to,
    // whether or not the window has laid the document out yet.
    QString text = document->toPlainText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    QTextLayout probe(text, document->defaultFont());
    probe.beginLayout();
    QTextLine line = probe.createLine();
    if (line.isValid())
        line.setLineWidth(1e9);
    probe.endLayout();
    if (!line.isValid())
        return;
    const qreal height = std::max(line.ascent() / 0.8, line.descent() / 0.2);
    QTextBlockFormat format;
    format.setLineHeight(std::ceil(height), QTextBlockFormat::FixedHeight);
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(format);
}

/// Replaces %1 .. %99 in one scan, so that a value holding "%2" stays as written.
QString fillTemplate(const QString& pattern, const QStringList& values)
{
    QString out;
    out.reserve(pattern.size() + 64);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        // "%L1" takes its value as given: numbers arrive already localized.
        const qsizetype digits = (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('L')) ? i + 2 : i + 1;
        if (c == QLatin1Char('%') && digits < pattern.size() && pattern[digits].isDigit()) {
            int number = pattern[digits].digitValue();
            qsizetype end = digits + 1;
            if (end < pattern.size() && pattern[end].isDigit()) {
                const int two = number * 10 + pattern[end].digitValue();
                if (two >= 1 && two <= values.size()) {
                    number = two;
                    ++end;
                }
            }
            if (number >= 1 && number <= values.size()) {
                out += values[number - 1];
                i = end - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

/// A box whose text comes (in part) from the server shows it as plain text.
void plainTextBox(ModelessMsgBox::MsgBox* box)
{
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText")))
        label->setTextFormat(Qt::PlainText);
}

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

} // namespace

TournamentWindow::TournamentWindow(const TournamentInfo& tournament, SocialServices* social, QWidget* parent)
    : QWidget(parent)
    , info(tournament)
    , tablesModel(new LobbyModel(this))
    , rankingProxy(new QSortFilterProxyModel(this))
    , ui(std::make_unique<TournamentView>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    ui->webView->hide();
    connect(ui->webView, &QWebEngineView::loadFinished, this, &TournamentWindow::onLoadFinished);

    if (social) {
        ui->conference = social->createConferenceArea(ui->chatTab, chatHiddenNotices);
        if (ui->conference) {
            ui->conference->setObjectName(QStringLiteral("conference"));
            ui->verticalLayout_3->addWidget(ui->conference);
            connect(ui->conference, &ConferenceArea::userMenuRequested, this, &TournamentWindow::userMenuRequested);
        }
    }

    rankingProxy->setDynamicSortFilter(true);
    rankingProxy->setSortLocaleAware(true);
    ui->rankingList->setModel(rankingProxy);
    ui->rankingList->setSortingEnabled(true);
    ui->rankingList->header()->setSortIndicatorShown(true);
    ui->rankingList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->rankingList, &QWidget::customContextMenuRequested, this, &TournamentWindow::onRankingListContextMenu);

    // A tooltip reads text that looks like markup as rich text: the table's
    // name goes over as rich text that shows it as written.
    ui->tableList->setToolTipFunction([](QAbstractItemModel* model, int row) {
        return model ? richToolTip(model->index(row, 0).data().toString()) : QString();
    });
    auto* filter = new LobbyTableFilter(this);
    filter->setSourceModel(tablesModel);
    auto* chosenTable = new ChosenRow(ui->tableList, LobbyRoles::IdRole, this);
    chosenTable->setModel(filter);
    ui->tableList->setItemDelegate(new TableCapacityDelegate(this));
    // Return opens the chosen table, as a double-click does; none once it has gone.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* open = new QShortcut(QKeySequence(key), ui->tableList, nullptr, nullptr, Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, [this, chosenTable] {
            if (const qint32 id = chosenTable->id(); id != -1)
                Q_EMIT watchTable(id);
        });
    }

    updateView();
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, &TournamentWindow::onTimerTimeout);
    updateCountdown();
}

TournamentWindow::~TournamentWindow() = default;

void TournamentWindow::setRankingModel(TournamentRankingModel* model)
{
    model->setParent(this);
    rankingModel = model;
    rankingProxy->setSourceModel(model);
    rankingProxy->sort(TournamentRankingModel::RankColumn, Qt::AscendingOrder);
    ui->rankingList->header()->setSortIndicator(TournamentRankingModel::RankColumn, Qt::AscendingOrder);
    const int widths[] = {60, 150, 110, 60};
    for (int column = 0; column < int(std::size(widths)); ++column)
        ui->rankingList->setColumnWidth(column, widths[column]);
    // A wide window widens the names: the figures keep columns of their own
    // size rather than the last of them taking all the spare room.
    QHeaderView* header = ui->rankingList->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(TournamentRankingModel::UserColumn, QHeaderView::Stretch);
}

void TournamentWindow::setTablesModel(TableModel* tables)
{
    tablesModel->setSourceModel(tables);
    const int widths[] = {229, 56, 0, 0, 0};
    for (int column = 0; column < int(std::size(widths)); ++column)
        ui->tableList->setColumnWidth(column, widths[column]);
    const int columns = tables ? tables->columnCount() : 0;
    ui->tableList->setColumnHidden(0, false);
    for (int column = 1; column < columns; ++column)
        ui->tableList->setColumnHidden(column, true);
    // The slice may have been chosen before the source arrived.
    updateView();
}

void TournamentWindow::setRequests(TournamentRequests* tracked)
{
    if (requests)
        disconnect(requests, nullptr, this, nullptr);
    requests = tracked;
    if (requests)
        connect(requests, &TournamentRequests::pendingChanged, this, [this](qint32 id) {
            if (id == info.tournamentId)
                updateButtons();
        });
    updateButtons();
}

bool TournamentWindow::isRequestPending() const
{
    return requests && requests->pending(info.tournamentId) != TournamentRequests::Kind::None;
}

void TournamentWindow::updateView()
{
    const int status = info.status;
    QString statusText;
    switch (status) {
    case Open:
        statusText = tr("Open for registration, registration closes at %1").arg(serverTimeText(info.closeRegister));
        break;
    case Closed: statusText = tr("Registration closed, tournament starts at %1").arg(serverTimeText(info.start)); break;
    case Seating: statusText = tr("Seating players at the tables"); break;
    case Playing: statusText = tr("Round %L1 of %L2 in play").arg(info.currentRound + 1).arg(info.numberOfRounds); break;
    case Paused: break;
    case Finished: statusText = tr("Finished"); break;
    case Failed: statusText = tr("Failed"); break;
    default: statusText = tr("Unknown tournament status!"); break;
    }
    ui->tournamentTitle->setText(fillTemplate(tr("<b>%1</b> - %2", "%1 - name of tournament, %2 - current status"),
                                              {info.name.toHtmlEscaped(), statusText.toHtmlEscaped()}));

    updateButtons();
    reviewLeaveQuestion();

    switch (status) {
    case Open: ui->statusLabel->setText(tr("Tournament open for registration.")); break;
    case Closed: ui->statusLabel->setText(tr("Tournament signup closed. Waiting for tournament to start.")); break;
    case Seating: ui->statusLabel->setText(tr("Seating players at the tables")); break;
    case Playing: ui->statusLabel->setText(tr("Currently playing round %L1").arg(info.currentRound + 1)); break;
    case Paused: updatePausedTexts(); break;
    case Finished: ui->statusLabel->setText(tr("Tournament has finished")); break;
    case Failed: ui->statusLabel->setText(tr("Failed")); break;
    default: ui->statusLabel->setText(tr("Unknown tournament status!")); break;
    }

    if (tablesModel->sourceModel()) {
        if (status == Seating || status == Playing)
            tablesModel->setLobbyPath(QStringLiteral("101/mtt/%1").arg(info.tournamentId));
        else
            tablesModel->setLobbyPath(QString());
    }

    if (ConferenceArea* chat = ui->conference) {
        chat->setOwnMember(info.ownRegistered);
        if (status == Failed) {
            // Also while the entry is on its way: its late answer must not
            // let the user in.
            if (std::exchange(chatWanted, false) || chat->isJoined())
                chat->leaveRoom();
        } else if (!chat->isJoined()) {
            // At every update: the service may have let the user in since.
            // The chat area bounds how often a refusing room is asked, and
            // enters again itself when the chat session comes back.
            chatWanted = true;
            chat->joinTournamentRoom(info.tournamentId);
        }
    }

    updateDetails();
    updateInfoPage();
}

void TournamentWindow::updateButtons()
{
    const int status = info.status;
    ui->joinButton->setText(tr("Register (%1)").arg(formatMoney(info.bet)));
    ui->leaveButton->setText(status != Open ? tr("Leave Tournament") : tr("Unregister"));

    const auto show = [](QPushButton* button, bool on) {
        button->setEnabled(on);
        button->setVisible(on);
    };
    if (status != Open) {
        show(ui->joinButton, false);
        ui->leaveButton->setVisible(false);
    } else if (info.ownRegistered) {
        show(ui->joinButton, false);
        show(ui->leaveButton, true);
    } else {
        show(ui->joinButton, true);
        show(ui->leaveButton, false);
    }
    if (isLeaveOffered()) {
        show(ui->joinButton, false);
        show(ui->leaveButton, true);
    }
    // A request on its way, or a question up: whatever the record says
    // meanwhile, nothing is asked twice.
    if (isRequestPending())
        ui->joinButton->setEnabled(false);
    if (leaveQuestion || isRequestPending())
        ui->leaveButton->setEnabled(false);
}

bool TournamentWindow::isLeaveOffered() const
{
    return info.ownRegistered && (info.status == Open || info.status == Closed || info.status == Paused);
}

void TournamentWindow::reviewLeaveQuestion()
{
    // The question names what a Yes does: unregistering (registration open)
    // or leaving with the entrance fee lost. When that changes while it is
    // up, it goes; the player is asked again in the new words while there is
    // still something to leave.
    if (!leaveQuestion)
        return;
    if (isLeaveOffered() && (info.status == Open) == leaveQuestionOpen)
        return;
    std::exchange(leaveQuestion, nullptr)->onFinished(0);
    if (isLeaveOffered())
        askLeave();
    updateButtons();
}

void TournamentWindow::updatePausedTexts()
{
    if (info.status != Paused)
        return;
    // The next round's start; a round number the lists do not cover (none
    // yet, or past the end) leaves the texts as they are.
    const qint64 next = qint64(info.currentRound) + 1;
    if (next < 0 || next >= qint64(info.roundsStart.size()))
        return;
    const QDateTime nextStart = info.roundsStart[size_t(next)];
    const QDateTime now = ServerTime::currentTime();
    const QString countdown = !isServerTimeKnown(nextStart) ? unknownText()
                              : msecsBetween(now, nextStart) < 1000
                                  ? tr("now")
                                  : tr("in %1", "%1 - time to start").arg(formatDurationBetween(now, nextStart));
    ui->tournamentTitle->setText(
        fillTemplate(tr("<b>%1</b> - Paused", "%1 - name of tournament"), {info.name.toHtmlEscaped()}));
    ui->statusLabel->setText(fillTemplate(tr("Round %L1 of %L2 starts at %3 (%4)"),
                                          {QLocale().toString(info.currentRound + 2),
                                           QLocale().toString(info.numberOfRounds), serverTimeText(nextStart),
                                           countdown}));
}

void TournamentWindow::updateDetails()
{
    const QString table = QStringLiteral(
        "<table width=100%><tr><td>%1</td><td>%2</td></tr><tr><td>%3</td><td>%4</td></tr><tr><td>%5</td><td>%6</td>"
        "</tr><tr><td>%7</td><td>%8</td></tr><tr><td></td></tr><tr><td>%9</td><td>%10</td></tr><tr><td>%11</td>"
        "<td>%12</td></tr><tr><td>%13</td><td>%14</td></tr><tr><td></td></tr><tr><td>%15</td><td>%16</td></tr>"
        "<tr><td>%17</td><td>%18</td></tr><tr><td>%19</td><td>%20</td></tr>");
    const auto esc = [](const QString& text) { return text.toHtmlEscaped(); };
    QString html = fillTemplate(table, {
        esc(tr("Name")), esc(info.name),
        esc(tr("Registration Cost")), esc(formatMoney(info.bet)),
        esc(tr("Rules")), esc(rulesetText(info.ruleset)),
        esc(tr("Number Of Rounds")), QString::number(info.numberOfRounds),
        esc(tr("Minimum Number Of Players")), QString::number(info.minPlayers),
        esc(tr("Maximum Number Of Players")), QString::number(info.maxPlayers),
        esc(tr("Number Of Registrered Players")), QString::number(info.registered),
        esc(tr("Registration Ends At")), esc(serverTimeText(info.closeRegister)),
        esc(tr("Tournament Starts At")), esc(serverTimeText(info.start)),
        esc(tr("Tournament Ends At")), esc(serverTimeText(info.end)),
    });
    const QString roundRows =
        QStringLiteral("<tr><td></td></tr><tr><td>%1</td><td>%2</td></tr><tr><td>%3</td><td>%4</td></tr>");
    const qint64 rounds = std::min({qint64(info.numberOfRounds), qint64(info.roundsStart.size()),
                                    qint64(info.roundsLength.size())});
    for (qint64 i = 0; i < rounds; ++i) {
        html += fillTemplate(roundRows, {esc(tr("Round %1 Starts At").arg(i + 1)),
                                         esc(serverTimeText(info.roundsStart[size_t(i)])),
                                         esc(tr("Round %1 Duration").arg(i + 1)),
                                         esc(formatDuration(info.roundsLength[size_t(i)]))});
    }
    html += QStringLiteral("</table>");
    ui->detailsLabel->setHtml(html);
    alignBaselines(ui->detailsLabel->document());
}

void TournamentWindow::updateInfoPage()
{
    if (info.infoUrl.isEmpty()) {
        if (!ui->webView->url().isEmpty())
            ui->webView->setContent(QByteArray(), QString(), QUrl());
        ui->webView->hide();
        return;
    }
    // Loaded again only when the address changes: every key update runs
    // through here and must not restart the page.
    if (ui->webView->url() != info.infoUrl)
        ui->webView->load(info.infoUrl);
}

void TournamentWindow::onLoadFinished(bool ok)
{
    // Clearing the view finishes a load too; an empty page stays hidden.
    if (!ok || info.infoUrl.isEmpty())
        return;
    makeTransparent(ui->webView);
    ui->webView->show();
}

void TournamentWindow::updateCountdown()
{
    if (info.status == Paused && !timer.isActive())
        timer.start();
    else if (info.status != Paused && timer.isActive())
        timer.stop();
}

void TournamentWindow::onTimerTimeout()
{
    updatePausedTexts();
}

void TournamentWindow::on_joinButton_clicked()
{
    if (isRequestPending() || info.status != Open || info.ownRegistered)
        return;
    ui->joinButton->setEnabled(false);
    Q_EMIT registerTournament(info.tournamentId);
}

void TournamentWindow::on_leaveButton_clicked()
{
    if (leaveQuestion || isRequestPending() || !isLeaveOffered())
        return;
    askLeave();
}

void TournamentWindow::askLeave()
{
    ui->leaveButton->setEnabled(false);
    const bool open = info.status == Open;
    const auto buttons = QDialogButtonBox::Yes | QDialogButtonBox::No;
    ModelessMsgBox::MsgBox* box = ModelessMsgBox::committing(
        open ? ModelessMsgBox::warning(findMainWindow(), [] {
                   return Wording{tr("Unregister from tournament?"),
                                  tr("Do you really want to unregister from this tournament?")};
               }, buttons)
             : ModelessMsgBox::warning(findMainWindow(), [] {
                   return Wording{tr("Leave tournament?"),
                                  tr("Do you really want to leave this tournament?\nYour entrance fee will be lost.")};
               }, buttons));
    if (box == nullptr) { // not asked: boxes of its kind fill the screen
        updateButtons();
        return;
    }
    leaveQuestion = box;
    leaveQuestionOpen = open;
    // The window may be closed before the answer comes; the answer then has
    // nobody to act for. A question withdrawn (its subject changed) answers
    // nothing either.
    const QPointer<TournamentWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, box, open](int result) {
        if (!self || self->leaveQuestion != box)
            return;
        self->leaveQuestion = nullptr;
        if (result == QDialogButtonBox::Yes && self->isLeaveOffered() && !self->isRequestPending()
            && (self->info.status == Open) == open) {
            if (open)
                Q_EMIT self->unregisterTournament(self->info.tournamentId);
            else
                Q_EMIT self->leaveTournament(self->info.tournamentId);
        }
        self->updateButtons();
    });
}

void TournamentWindow::on_closeButton_clicked()
{
    Q_EMIT closeWindow(info.tournamentId);
}

void TournamentWindow::on_tableList_doubleClicked(const QModelIndex& index)
{
    if (!ui->tableList->model() || !index.isValid())
        return;
    Q_EMIT watchTable(index.data(LobbyRoles::IdRole).toInt());
}

void TournamentWindow::onTournamentRegisterSuccess(qint32 tournamentInt)
{
    if (tournamentInt != info.tournamentId)
        return;
    info.ownRegistered = true;
    updateView();
}

void TournamentWindow::onTournamentRegisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason)
{
    if (tournamentInt != info.tournamentId)
        return;
    if (reason == tmnt_register_failed_reason::ALREADY_REGISTERED) {
        // Refused because the player is registered already (from another
        // client, say): the window offers to unregister, as after a success.
        onTournamentRegisterSuccess(tournamentInt);
        return;
    }
    if (reason == tmnt_register_failed_reason::enum_t(2)) {
        auto* box = ModelessMsgBox::question(
            findMainWindow(),
            [] {
                return Wording{tr("Join tournament"), tr("You don't have enough money on your account to join the "
                                                         "tournament.\nDo you want to make a deposit now?")};
            },
            QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes);
        const QPointer<TournamentWindow> self(this);
        ModelessMsgBox::connectFinished(box, [self](int result) {
            if (!self || result != QDialogButtonBox::Yes)
                return;
            Q_EMIT self->accountNeeded();
            ModelessMsgBox::information(
                findMainWindow(), [] { return Wording{tr("Deposit"), tr("Your account is opened in a web browser")}; });
        });
    } else {
        plainTextBox(ModelessMsgBox::warning(findMainWindow(), [reason] {
            return Wording{tr("Join tournament"),
                           fillTemplate(tr("Join tournament failed!\n%1"), {registerFailedText(reason)})};
        }));
    }
    updateView();
}

void TournamentWindow::onTournamentUnregisterSuccess(qint32 tournamentInt)
{
    if (tournamentInt != info.tournamentId)
        return;
    info.ownRegistered = false;
    updateView();
}

void TournamentWindow::onTournamentUnregisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason)
{
    if (tournamentInt != info.tournamentId)
        return;
    plainTextBox(ModelessMsgBox::warning(findMainWindow(), [reason] {
        return Wording{tr("Unregister from tournament"),
                       fillTemplate(tr("Unregister from tournament failed!\n%1"), {registerFailedText(reason)})};
    }));
    updateView();
}

void TournamentWindow::onTournamentLeaveSuccess(qint32 tournamentInt)
{
    onTournamentUnregisterSuccess(tournamentInt);
}

void TournamentWindow::onTournamentLeaveFailed(qint32 tournamentInt, const QString& reason)
{
    if (tournamentInt != info.tournamentId)
        return;
    plainTextBox(ModelessMsgBox::warning(findMainWindow(), [reason] {
        return Wording{tr("Leave tournament"), fillTemplate(tr("Leave tournament failed!\n%1"), {reason})};
    }));
    updateView();
}

void TournamentWindow::tournamentRemoved(qint32 tournamentId)
{
    if (tournamentId != info.tournamentId)
        return;
    // A question about it has nothing left to ask: it goes, and the player
    // who had it up is told why.
    const bool asking = leaveQuestion != nullptr;
    if (asking)
        std::exchange(leaveQuestion, nullptr)->onFinished(0);
    if (isVisible() || asking)
        ModelessMsgBox::information(findMainWindow(), [] {
            return Wording{tr("Tournament removed"), tr("This tournament has been removed")};
        });
    Q_EMIT closeWindow(info.tournamentId);
}

void TournamentWindow::tournamentInfoUpdate(const TournamentInfo& received)
{
    if (received.tournamentId != info.tournamentId)
        return;
    // A server record never carries the user's registration; keep ours.
    const bool mark = info.ownRegistered;
    info = received;
    info.ownRegistered = mark;
    updateView();
    updateCountdown();
}

void TournamentWindow::tournamentInfoUpdate(qint32 tournamentId, const TournamentInfoUpdates& updates)
{
    if (tournamentId != info.tournamentId)
        return;
    TournamentInfo changed = info;
    try {
        changed.applyUpdates(updates);
    } catch (const std::exception& e) {
        qWarning() << "tournament" << tournamentId << "update not applied:" << e.what();
        return;
    }
    info = changed;
    updateView();
    updateCountdown();
}

void TournamentWindow::onRankingListContextMenu(const QPoint& pos)
{
    const QModelIndex index = ui->rankingList->indexAt(pos);
    if (!index.isValid() || !rankingModel || rankingProxy->sourceModel() != rankingModel)
        return;
    const auto entry = rankingModel->rankingAt(rankingProxy->mapToSource(index));
    if (entry)
        Q_EMIT userMenuRequested(entry->name, ui->rankingList->viewport()->mapToGlobal(pos));
}

void TournamentWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (rankingModel)
            rankingModel->retranslate();
        updateView();
        updatePausedTexts();
    }
    QWidget::changeEvent(event);
}
