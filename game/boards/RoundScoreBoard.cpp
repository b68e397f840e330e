#include "RoundScoreBoard.h"

#include "RoundScoreWidget.h"
#include "SocialServices.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace {

/// Ascending by round result, then mahjong points, then name.
bool roundScoreLessThan(const RoundScoreWidget* a, const RoundScoreWidget* b)
{
    if (a->roundResult() != b->roundResult())
        return a->roundResult() < b->roundResult();
    if (a->mahjongPoints() != b->mahjongPoints())
        return a->mahjongPoints() < b->mahjongPoints();
    return a->screenName() < b->screenName();
}

} // namespace

RoundScoreBoard::RoundScoreBoard(SocialServices* socialServices, QWidget* parent)
    : QFrame(parent)
    , services(socialServices)
{
    setObjectName(QStringLiteral("RoundScoreBoard"));
    resize(358, 518);
    title = new QLabel(this);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setGeometry(0, 15, 358, 20);
    title->setAlignment(Qt::AlignCenter);
    title->setTextFormat(Qt::PlainText);
    round = new QLabel(this);
    round->setObjectName(QStringLiteral("roundLabel"));
    // One pixel more than the form's 17: Japanese and Chinese glyphs need 18.
    round->setGeometry(0, 37, 358, 18);
    round->setAlignment(Qt::AlignCenter);
    round->setTextFormat(Qt::PlainText);
    close = new QPushButton(this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setGeometry(136, 475, 86, 28);
    retranslateForm();
    connect(close, &QPushButton::clicked, this, &RoundScoreBoard::onCloseClick);
    connect(close, &QPushButton::clicked, this, &RoundScoreBoard::closeClick);
    if (services != nullptr)
        connect(services, &SocialServices::playerPictureUpdate, this, &RoundScoreBoard::onPlayerPictureUpdate);
}

RoundScoreBoard::~RoundScoreBoard() = default;

void RoundScoreBoard::retranslateForm()
{
    close->setText(tr("Close"));
    if (!tournament && !table) {
        title->setText(tr("Tournament 1"));
        round->setText(tr("Round 1"));
    }
}

void RoundScoreBoard::showHeader()
{
    if (tournament) {
        title->setText(tournament->name);
        round->setText(tr("Round %L1/%L2").arg(tournament->currentRound + 1).arg(tournament->numberOfRounds));
    } else if (table) {
        title->setText(table->name);
        round->setText(tr("Round results"));
    }
}

void RoundScoreBoard::setTournamentInfo(const TournamentInfo& info)
{
    tournament = info;
    table.reset();
    showHeader();
}

void RoundScoreBoard::setTableInfo(const TableInfo& info)
{
    table = info;
    tournament.reset();
    showHeader();
}

QPixmap RoundScoreBoard::pictureOf(qint32 pid) const
{
    return services != nullptr ? services->playerPicture(pid) : QPixmap();
}

void RoundScoreBoard::showRoundScores(const TournamentRoundScores& scores)
{
    std::vector<Entry> entries;
    entries.reserve(scores.size());
    for (const auto& row : scores)
        entries.push_back({row.pid, row.score, qint64(row.value)});
    refill(true, entries);
}

void RoundScoreBoard::showMonetaryRoundScores(const MonetaryRoundScores& scores)
{
    std::vector<Entry> entries;
    entries.reserve(scores.size());
    for (const auto& row : scores)
        entries.push_back({row.pid, row.mahjongPoints, row.balance});
    refill(false, entries);
}

void RoundScoreBoard::refill(bool tournamentRound, const std::vector<Entry>& entries)
{
    tournamentFlag = tournamentRound;
    qDeleteAll(panelList);
    panelList.clear();
    panelMap.clear();
    for (const Entry& entry : entries) {
        auto* panel = new RoundScoreWidget(tournamentRound ? RoundScoreWidget::Tournament : RoundScoreWidget::Money, this);
        panelList.append(panel);
        panelMap.emplace(entry.pid, panel); // a repeated pid keeps its first panel
        panel->setName(names.value(entry.pid));
        panel->setAvatar(pictureOf(entry.pid));
        panel->setMahjongPoints(entry.mahjongPoints);
        panel->setRoundResult(entry.result);
        if (tournamentRound)
            panel->setTournamentPoints(0);
    }
    layoutScores();
}

void RoundScoreBoard::layoutScores()
{
    std::stable_sort(panelList.rbegin(), panelList.rend(), roundScoreLessThan);
    for (int k = 0; k < panelList.size(); ++k) {
        panelList[k]->setGeometry(11, 55 + 95 * k, 334, 94);
        panelList[k]->show();
    }
}

void RoundScoreBoard::updateTournamentPoints(const TournamentRankings& rankings)
{
    for (auto& [pid, panel] : panelMap)
        panel->setTournamentPoints(0);
    for (const TournamentRanking& entry : rankings) {
        // The ranking list names the players; a panel still without a name takes it.
        if (!entry.name.isEmpty() && names.value(entry.pid).isEmpty())
            onPlayerNameUpdate(entry.pid, entry.name);
        auto it = panelMap.find(entry.pid);
        if (it != panelMap.end())
            it->second->setTournamentPoints(entry.tablePoints);
    }
}

void RoundScoreBoard::onCloseClick()
{
    hide();
}

void RoundScoreBoard::onPlayerNameUpdate(qint32 pid, QString name)
{
    names.insert(pid, name);
    auto it = panelMap.find(pid);
    if (it != panelMap.end())
        it->second->setName(name);
}

void RoundScoreBoard::onPlayerPictureUpdate(qint32 pid)
{
    auto it = panelMap.find(pid);
    if (it != panelMap.end())
        it->second->setAvatar(pictureOf(pid));
}

void RoundScoreBoard::mousePressEvent(QMouseEvent* event)
{
    drag.press(this, title, event);
}

void RoundScoreBoard::mouseMoveEvent(QMouseEvent* event)
{
    drag.move(this, event);
}

void RoundScoreBoard::mouseReleaseEvent(QMouseEvent*)
{
    drag.release();
}

void RoundScoreBoard::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        showHeader();
    }
    QFrame::changeEvent(event);
}
