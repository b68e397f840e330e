// The side bar: its form, the table texts and the round countdown, and the
// seat panels with their order.

#include "SideBar.h"

#include "BugfixWidget.h"
#include "ConferenceArea.h"
#include "EmptySeatWidget.h"
#include "GameModel.h"
#include "PlayerData.h"
#include "PlayerWidget.h"
#include "ServerTime.h"
#include "SocialServices.h"
#include "TableInfoTexts.h"
#include "TimeSpan.h"
#include "ULabel.h"
#include "UPushButton.h"
#include "Utils.h"

#include <QDebug>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {
QLabel* textLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // Table and tournament names come from the server: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

/// A server name on an eliding label, whose tool tip shows it whole and as written.
void setPlainName(ULabel* label, const QString& name)
{
    label->setText(name);
    label->setToolTip(richToolTip(name));
}

/// The frame of the table chat. The chat's notice line wraps, and a wrapping
/// line makes the side bar's layout take the chat's preferred height as its
/// least one: the seat panels would then give up the room and slide over
/// one another. The chat gives way instead, down to its own minimum.
class ChatFrame : public QFrame
{
public:
    using QFrame::QFrame;
    bool hasHeightForWidth() const override { return false; }
};

/// A text's width as a label lays it out, a little more than its glyphs' advance.
int labelTextWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.boundingRect(QRect(0, 0, 4000, 4000), Qt::AlignLeft | Qt::TextExpandTabs, text).width();
}

/// The stake's parts on as few lines as fit `width`: all on one line, else a
/// part on each, and a part wider than a line broken only between its words,
/// so that no figure is ever split or cut.
QString stakeLines(const QStringList& parts, const QFontMetrics& metrics, int width)
{
    const auto wider = [&](const QString& line) { return labelTextWidth(metrics, line) > width; };
    const QString whole = parts.join(QLatin1Char(' '));
    if (!wider(whole))
        return whole;
    QStringList lines;
    for (const QString& part : parts) {
        QString line;
        for (const QString& word : part.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && wider(longer)) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

/// The chat notices a table hides: own joins and leaves, others' joins and
/// leaves, others' kicks and bans.
constexpr int hiddenChatNotices = 11;
}

SideBar::SideBar(SocialServices* socialServices, QWidget* parent)
    : QFrame(parent)
    , services(socialServices)
{
    setupUi();
    if (tableConference != nullptr) {
        tableConference->setHiddenNotifications(hiddenChatNotices);
        connect(tableConference, &ConferenceArea::userMenuRequested, this, &SideBar::userMenuRequested);
    }
    if (services != nullptr)
        connect(services, &SocialServices::playerPictureUpdate, this, &SideBar::onPlayerPictureUpdate);
    connect(&timer, &QTimer::timeout, this, &SideBar::onTimerTimeout);
    reset();
}

SideBar::~SideBar()
{
    qDeleteAll(players);
}

void SideBar::setupUi()
{
    setObjectName(QStringLiteral("SideBar"));
    resize(229, 500);
    setMinimumSize(229, 500);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    policy.setVerticalStretch(1);
    setSizePolicy(policy);
    setLineWidth(0);

    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    topContainer = new QFrame(this);
    topContainer->setObjectName(QStringLiteral("topContainer"));
    topContainer->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    topContainer->setMinimumSize(228, 0);
    auto* verticalLayout = new QVBoxLayout(topContainer);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(2);
    verticalLayout->setContentsMargins(2, 2, 2, 6);

    auto* frame = new QFrame(topContainer);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    frame->setMinimumSize(228, 26);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setLineWidth(0);
    auto* horizontalLayout = new QHBoxLayout(frame);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    leaveButton = new UPushButton(frame);
    leaveButton->setObjectName(QStringLiteral("leaveButton"));
    horizontalLayout->addWidget(leaveButton);
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addWidget(frame);

    tableName = new ULabel(topContainer);
    tableName->setObjectName(QStringLiteral("tableName"));
    tableName->setTextFormat(Qt::PlainText);
    verticalLayout->addWidget(tableName);
    tableDescription = textLabel(topContainer, "tableDescription");
    verticalLayout->addWidget(tableDescription);
    tableRound = textLabel(topContainer, "tableRound");
    verticalLayout->addWidget(tableRound);
    // Broken into lines by the side bar itself, between whole figures: a
    // label left to wrap breaks inside them, and the bar's top, sized by its
    // hint, need not grow with the lines it wraps to.
    tableCost = textLabel(topContainer, "tableCost");
    verticalLayout->addWidget(tableCost);
    tableLimit = textLabel(topContainer, "tableLimit");
    verticalLayout->addWidget(tableLimit);
    roundLimit = textLabel(topContainer, "roundLimit");
    verticalLayout->addWidget(roundLimit);

    riichiInfo = new QWidget(topContainer);
    riichiInfo->setObjectName(QStringLiteral("riichiInfo"));
    riichiInfo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    riichiInfo->setMinimumSize(0, 26);
    auto* horizontalLayout2 = new QHBoxLayout(riichiInfo);
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout2->setContentsMargins(0, 0, 0, 0);
    auto* riichiStickImage = new QFrame(riichiInfo);
    riichiStickImage->setObjectName(QStringLiteral("riichiStickImage"));
    riichiStickImage->setFrameShape(QFrame::NoFrame);
    riichiStickImage->setFrameShadow(QFrame::Raised);
    horizontalLayout2->addWidget(riichiStickImage);
    riichiStickText = textLabel(riichiInfo, "riichiStickText");
    horizontalLayout2->addWidget(riichiStickText);
    auto* counterStickImage = new QFrame(riichiInfo);
    counterStickImage->setObjectName(QStringLiteral("counterStickImage"));
    counterStickImage->setFrameShape(QFrame::NoFrame);
    counterStickImage->setFrameShadow(QFrame::Raised);
    horizontalLayout2->addWidget(counterStickImage);
    counterStickText = textLabel(riichiInfo, "counterStickText");
    horizontalLayout2->addWidget(counterStickText);
    riichiStickText->raise();
    verticalLayout->addWidget(riichiInfo);

    handIdLabel = textLabel(topContainer, "handId");
    verticalLayout->addWidget(handIdLabel);
    vboxLayout->addWidget(topContainer);

    playersFrame = new QFrame(this);
    playersFrame->setObjectName(QStringLiteral("playersFrame"));
    playersFrame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    playersFrame->setFrameShape(QFrame::NoFrame);
    playersFrame->setLineWidth(0);
    playersContainer = new QVBoxLayout(playersFrame);
    playersContainer->setObjectName(QStringLiteral("playersContainer"));
    playersContainer->setSpacing(0);
    playersContainer->setContentsMargins(0, 0, 0, 0);
    playersContainer->setSizeConstraint(QLayout::SetDefaultConstraint);
    vboxLayout->addWidget(playersFrame);

    chatContainer = new ChatFrame(this);
    chatContainer->setObjectName(QStringLiteral("chatContainer"));
    QSizePolicy chatPolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    chatPolicy.setVerticalStretch(1);
    chatContainer->setSizePolicy(chatPolicy);
    chatContainer->setMinimumSize(228, 100);
    auto* vboxLayout1 = new QVBoxLayout(chatContainer);
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));
    vboxLayout1->setSpacing(0);
    vboxLayout1->setContentsMargins(0, 0, 0, 0);
    auto* chatTop = new BugfixWidget(chatContainer);
    chatTop->setObjectName(QStringLiteral("chatTop"));
    chatTop->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    chatTop->setMinimumSize(228, 22);
    auto* hboxLayout = new QHBoxLayout(chatTop);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(0);
    hboxLayout->setContentsMargins(0, 0, 0, 0);
    chatTitle = new QLabel(chatTop);
    chatTitle->setObjectName(QStringLiteral("chatTitle"));
    chatTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hboxLayout->addWidget(chatTitle);
    vboxLayout1->addWidget(chatTop);
    if (services != nullptr) {
        tableConference = services->createConferenceArea(chatContainer, 0);
        if (tableConference != nullptr) {
            tableConference->setObjectName(QStringLiteral("tableConference"));
            tableConference->setSizePolicy(chatPolicy);
            vboxLayout1->addWidget(tableConference);
        }
    }
    if (tableConference == nullptr)
        vboxLayout1->addStretch(1);
    vboxLayout->addWidget(chatContainer);

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void SideBar::retranslateUi()
{
    leaveButton->setText(tr("Leave"));
    tableName->setText(tr("TableName"));
    tableDescription->setText(tr("TableDescription"));
    tableRound->setText(tr("TableRound"));
    tableCost->setText(tr("TableCost"));
    tableLimit->setText(tr("TableLimit"));
    roundLimit->setText(tr("RoundLimit"));
    riichiStickText->setText(tr("0"));
    counterStickText->setText(tr("0"));
    handIdLabel->setText(tr(".HandId"));
    chatTitle->setText(tr("Chat"));
}

QDateTime SideBar::now() const
{
    return clock ? clock() : ServerTime::currentTime();
}

void SideBar::setClock(std::function<QDateTime()> c)
{
    clock = std::move(c);
}

void SideBar::setModel(GameModel* m)
{
    model = m;
    if (m != nullptr)
        tableInfo = m->tableInfo();
    updateTableTexts();
    updateEmptySeats();
}

void SideBar::setTableInfo(const TableInfo& info)
{
    tableInfo = info;
    updateTableTexts();
    updateEmptySeats();
}

void SideBar::setTournamentInfo(const TournamentInfo& info)
{
    tournamentInfo = info;
    updateTableTexts();
}

void SideBar::endTournament(const QString& why)
{
    tournamentEnded = why;
    updateTableTexts();
}

void SideBar::setHandId(qint64 id)
{
    handId = id;
    updateTableTexts();
}

void SideBar::reset()
{
    playersById.clear();
    qDeleteAll(players);
    players.clear();
    qDeleteAll(emptySeats);
    emptySeats.clear();
    activePlayerId = -1;
    gameType = -1;
    tournamentInfo = TournamentInfo();
    tournamentEnded.clear();
    tableInfo = TableInfo();
    timer.stop();
    handId = -1;
}

void SideBar::updateTableTexts()
{
    if (model == nullptr || tableInfo.gameType == -1)
        return;
    if (handId >= 0) {
        handIdLabel->setText(tr("Hand Id: %1").arg(handId));
        handIdLabel->show();
    } else {
        handIdLabel->clear();
        handIdLabel->hide();
    }
    tableLimit->hide();
    if (tableInfo.gameType == 1) {
        // The tournament's record may come after its table opens: until then
        // the table's own name stands in, and nothing is said of rounds the
        // side bar knows nothing about.
        const bool known = tournamentInfo.tournamentId != -1;
        setPlainName(tableName, known ? tournamentInfo.name : tableInfo.name);
        tableDescription->setText(tableRulesText(tableInfo));
        tableRound->setText(tr("round %L1 of %L2").arg(tournamentInfo.currentRound + 1).arg(tournamentInfo.numberOfRounds));
        tableRound->setVisible(known && tournamentInfo.numberOfRounds > 0);
        tableCost->hide();
        roundLimit->setVisible(known || !tournamentEnded.isEmpty());
        updateRoundCountdown();
        timer.setSingleShot(false);
        if (!tournamentEnded.isEmpty()) {
            roundLimit->setText(tournamentEnded);
            timer.stop();
        } else if (tournamentInfo.status == 3) {
            timer.start(1000);
        }
    } else {
        setPlainName(tableName, tableInfo.name);
        tableDescription->setText(tableRulesText(tableInfo));
        // The room for text is the bar's less its margins and what the label
        // asks beyond its text (the style sheet's padding), in its font.
        const QMargins margins = topContainer->layout()->contentsMargins();
        tableCost->ensurePolished();
        const QFontMetrics metrics = tableCost->fontMetrics();
        const int overhead = tableCost->minimumSizeHint().width() - labelTextWidth(metrics, tableCost->text());
        const int room = topContainer->minimumWidth() - margins.left() - margins.right() - overhead;
        tableCost->setText(stakeLines(tableValueParts(tableInfo), metrics, room));
        tableRound->hide();
        tableCost->show();
        roundLimit->hide();
    }
    if (tableInfo.ruleset == 2) {
        riichiInfo->show();
        updateSticks();
    } else {
        riichiInfo->hide();
    }
    gameType = tableInfo.gameType;
    for (PlayerWidget* p : std::as_const(players))
        p->setGameType(gameType);
}

void SideBar::onTimerTimeout()
{
    updateRoundCountdown();
}

void SideBar::updateRoundCountdown()
{
    const int round = tournamentInfo.currentRound;
    // A round index the lists do not cover (a server record not yet complete)
    // has no end to count to.
    const bool known = round >= 0 && std::size_t(round) < tournamentInfo.roundsStart.size()
        && std::size_t(round) < tournamentInfo.roundsLength.size();
    if (tournamentInfo.status != 3 || !known) {
        roundLimit->setText(tr("No round playing"));
        return;
    }
    const QDateTime start = tournamentInfo.roundsStart[std::size_t(round)];
    const qint32 length = tournamentInfo.roundsLength[std::size_t(round)];
    const QDateTime end = start.addSecs(length);
    const QDateTime current = now();
    const QString left = !isServerTimeKnown(start) || !isLengthKnown(length) ? unknownText()
                         : msecsBetween(current, end) / 1000 <= 0 ? tr("now")
                                                                   : formatDurationBetween(current, end);
    roundLimit->setText(tr("Round ends in %1").arg(left));
}

void SideBar::updateSticks()
{
    if (model != nullptr) {
        riichiStickText->setText(tr("x%1").arg(model->riichiSticks()));
        counterStickText->setText(tr("x%1").arg(model->counterSticks()));
    } else {
        riichiStickText->setText(tr("x%1").arg(0));
        counterStickText->setText(tr("x%1").arg(0));
    }
}

void SideBar::setPlayer(qint32 id, const QString& name, int wind, int score, int wins, bool ready)
{
    PlayerWidget* panel = nullptr;
    const auto found = playersById.find(id);
    if (found == playersById.end()) {
        panel = new PlayerWidget(this);
        players.append(panel);
        playersById[id] = panel;
        playersContainer->addWidget(panel);
        panel->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(panel, &QWidget::customContextMenuRequested, this, &SideBar::onPlayerWidgetContextMenu);
        if (services != nullptr)
            panel->setAvatar(services->playerPicture(id));
    } else {
        panel = found->second;
    }
    panel->setName(name);
    panel->setWind(wind);
    panel->setScore(score);
    panel->setWins(wins);
    panel->setReady(ready);
    panel->setGameType(gameType);
    updateEmptySeats();
    reorderPlayers();
}

void SideBar::setPlayer(const PlayerData& player)
{
    setPlayer(player.id(), player.name(), player.wind(), player.roundScore(), player.wins(), player.ready());
}

void SideBar::removePlayer(qint32 id)
{
    PlayerWidget* panel = playerWidget(id);
    players.removeOne(panel);
    playersById.erase(id);
    delete panel;
    updateEmptySeats();
    if (id == activePlayerId)
        clearActivePlayer();
}

PlayerWidget* SideBar::playerWidget(qint32 id) const
{
    const auto found = playersById.find(id);
    if (found == playersById.end())
        throw std::runtime_error("no such player, pid: " + std::to_string(id));
    return found->second;
}

bool SideBar::hasPlayer(qint32 id) const
{
    return playersById.count(id) != 0;
}

QList<PlayerWidget*> SideBar::orderedPlayers() const
{
    QList<PlayerWidget*> ordered;
    for (int i = 0; i < playersContainer->count(); ++i) {
        if (auto* panel = qobject_cast<PlayerWidget*>(playersContainer->itemAt(i)->widget()))
            ordered.append(panel);
    }
    return ordered;
}

void SideBar::updateEmptySeats()
{
    // More players than seats (a record behind the joins) leaves no empty panel.
    const int wanted = std::max(0, tableInfo.capacity.capacity() - int(players.size()));
    while (emptySeats.size() > wanted)
        delete emptySeats.takeLast();
    while (emptySeats.size() < wanted) {
        auto* seat = new EmptySeatWidget(this);
        emptySeats.append(seat);
        playersContainer->addWidget(seat);
    }
}

void SideBar::reorderPlayers()
{
    int referenceWind = 0;
    if (model != nullptr) {
        const auto found = playersById.find(model->turnWords()[0]);
        if (found != playersById.end())
            referenceWind = found->second->wind();
    }
    while (playersContainer->count() > 0)
        delete playersContainer->takeAt(0);
    std::stable_sort(players.begin(), players.end(), [referenceWind](PlayerWidget* a, PlayerWidget* b) {
        return (a->wind() - referenceWind + 4) % 4 < (b->wind() - referenceWind + 4) % 4;
    });
    for (PlayerWidget* panel : std::as_const(players)) {
        playersContainer->addWidget(panel);
        panel->show();
    }
    for (EmptySeatWidget* seat : std::as_const(emptySeats)) {
        playersContainer->addWidget(seat);
        seat->show();
    }
}

void SideBar::setActivePlayer(qint32 id)
{
    if (id == activePlayerId)
        return;
    // An unknown player throws before anything changes: the highlight and the
    // remembered id stay in step.
    PlayerWidget* panel = playerWidget(id);
    if (activePlayerId != -1 && hasPlayer(activePlayerId))
        playerWidget(activePlayerId)->setHighlight(false);
    activePlayerId = id;
    panel->setHighlight(true);
    update();
}

void SideBar::clearActivePlayer()
{
    for (PlayerWidget* p : std::as_const(players))
        p->setHighlight(false);
    activePlayerId = -1;
    update();
}

void SideBar::setPlayerWind(qint32 id, int wind)
{
    playerWidget(id)->setWind(wind);
    reorderPlayers();
}

void SideBar::setPlayerScore(qint32 id, int score)
{
    playerWidget(id)->setScore(score);
}

void SideBar::setPlayerReady(qint32 id)
{
    playerWidget(id)->setReady(true);
}

void SideBar::showPlayerClaim(qint32 id, int meldType, int mahjongType)
{
    playerWidget(id)->showClaim(meldType, tableInfo.ruleset, mahjongType);
}

void SideBar::setPlayerTimeSpan(qint32 id, const TimeSpan& span)
{
    playerWidget(id)->setTimeSpan(span);
}

void SideBar::setPlayerAvatar(qint32 id, const QPixmap& picture)
{
    if (hasPlayer(id))
        playerWidget(id)->setAvatar(picture);
}

void SideBar::onPlayerPictureUpdate(qint32 playerId)
{
    if (services != nullptr && hasPlayer(playerId))
        playerWidget(playerId)->setAvatar(services->playerPicture(playerId));
}

void SideBar::clearReady()
{
    for (PlayerWidget* p : std::as_const(players))
        p->setReady(false);
}

void SideBar::hideClaims()
{
    for (PlayerWidget* p : std::as_const(players))
        p->hideClaim();
}

void SideBar::stopTimers()
{
    for (PlayerWidget* p : std::as_const(players))
        p->stopTimer();
}

void SideBar::setScoresVisible(bool visible)
{
    for (PlayerWidget* p : std::as_const(players))
        p->setScoreVisible(visible);
}

void SideBar::setWindsVisible(bool visible)
{
    for (PlayerWidget* p : std::as_const(players))
        p->setWindVisible(visible);
}

void SideBar::setChatActive(bool active)
{
    if (tableConference == nullptr)
        return;
    // Every hand asks again: the service may have let the player in since.
    // The chat area bounds how often a refusing room is asked (at once after
    // the player sits down or gets up), and enters again itself when the
    // chat session comes back.
    if (active) {
        tableConference->setOwnMember(model && model->isSeated());
        chatWanted = true;
        if (!tableConference->isJoined())
            tableConference->joinTableRoom(tableInfo.tableId);
        return;
    }
    // Leaving wins over an entry still on its way (a kick one round trip
    // after the seating): its late answer must not let the player in.
    if (std::exchange(chatWanted, false) || tableConference->isJoined())
        tableConference->leaveRoom();
}

void SideBar::appendInfo(const QString& text)
{
    if (tableConference != nullptr)
        tableConference->appendInfo(text);
}

void SideBar::connectLeaveButton(QObject* receiver)
{
    // Connected once however often the window asks: a second connection would
    // send a second leave request for one click.
    connect(leaveButton, SIGNAL(clicked()), receiver, SLOT(onLeaveButtonClick()), Qt::UniqueConnection);
}

void SideBar::setLeaveVisible(bool visible)
{
    leaveButton->setVisible(visible);
}

void SideBar::setLeaveEnabled(bool enabled)
{
    leaveButton->setEnabled(enabled);
}

void SideBar::on_leaveButton_clicked()
{
    qDebug() << "leave";
}

void SideBar::onPlayerWidgetContextMenu(const QPoint& p)
{
    auto* panel = qobject_cast<PlayerWidget*>(sender());
    if (panel == nullptr) {
        qWarning() << "Bogus widget requested player context menu";
        return;
    }
    Q_EMIT userMenuRequested(panel->name(), panel->mapToGlobal(p));
}

void SideBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        updateTableTexts();
    }
    QFrame::changeEvent(event);
}
