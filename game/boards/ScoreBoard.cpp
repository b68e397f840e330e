#include "ScoreBoard.h"

#include "DeclaredView.h"
#include "HandScene.h"
#include "ReadyButtons.h"
#include "PictureFile.h"
#include "ServerTime.h"
#include "TileGraphics.h"
#include "TimerView.h"
#include "Utils.h"

#include <TimeSpan.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// The side of a player's picture on the board, as on the side bar.
constexpr int avatarSlot = 64;

const QString rowTemplate = QStringLiteral("<tr><td align=\"left\">%1</td><td align=\"right\">%2</td></tr>\n");
const QString headerTemplate = QStringLiteral("<tr><td align=\"left\" colspan=\"2\"><u>%1</u></td></tr>\n");
const QString sumTemplate =
    QStringLiteral("<tr><td></td><td align=\"right\"><span style=\"text-decoration:overline;\">%1</span></td></tr>\n");
const QString spacerRow = QStringLiteral("<tr><td colspan=\"2\">&nbsp;</td></tr>\n");

QString number(int value)
{
    return ScoreBoard::tr("%L1").arg(value, 0, 10, QLatin1Char(' '));
}

/// A score item's name in the language shown now: the records carry the
/// source texts, so that a board open through a language change follows it.
QString itemName(const ScoreItem& item)
{
    return QCoreApplication::translate("Scores", item.first.toUtf8().constData()).toHtmlEscaped();
}

QString itemSection(const QString& heading, const QList<ScoreItem>& items, int total)
{
    QString html = headerTemplate.arg(heading);
    for (const ScoreItem& item : items)
        html += rowTemplate.arg(itemName(item), number(item.second));
    html += sumTemplate.arg(QString::number(total));
    html += spacerRow;
    return html;
}

QLabel* makeLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    return label;
}

} // namespace

ScoreBoard::ScoreBoard(QWidget* parent)
    : MahjongDialog(parent, false)
{
    for (auto& scene : scenes)
        scene = std::make_unique<HandScene>();
    buildForm();
    setContentWidget(form);
    TilePainter* base = TileGraphics::instance().basePainter();
    for (std::size_t i = 0; i < 4; ++i) {
        scenes[i]->declaredView()->setPainter(base);
        views[i]->setResizeAnchor(QGraphicsView::AnchorViewCenter);
        views[i]->setScene(scenes[i].get());
    }
    connect(closeButton, &QPushButton::clicked, this, &ScoreBoard::onCloseClick);
    connect(readyButton, &QPushButton::clicked, this, &ScoreBoard::onReadyClick);
    connect(leaveButton, &QPushButton::clicked, this, &ScoreBoard::onLeaveClick);
    setKeyAnswers({readyButton, closeButton}, {closeButton, leaveButton});
    connect(&TileGraphics::instance(), &TileGraphics::tileGraphicsChanged, this, &ScoreBoard::onTileGraphicsChanged);
    readyButton->show();
    closeButton->hide();
    nextRoundLabel->hide();
    nextRoundTimer->hide();
}

ScoreBoard::~ScoreBoard()
{
    // The views go with the form; the scenes after them.
    for (QGraphicsView* view : views)
        view->setScene(nullptr);
}

void ScoreBoard::buildForm()
{
    form = new QFrame;
    form->setObjectName(QStringLiteral("ScoreBoard"));
    form->resize(736, 583);
    form->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    form->setMinimumSize(736, 536);
    form->setLineWidth(0);
    auto* vbox = new QVBoxLayout(form);
    vbox->setObjectName(QStringLiteral("verticalLayout"));
    vbox->setSpacing(0);
    vbox->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    grid->setObjectName(QStringLiteral("gridLayout"));
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int c = 0; c < 4; ++c) {
        const QString n = QString::number(c + 1);
        auto* top = new QFrame(form);
        top->setObjectName(QStringLiteral("topFrame") + n);
        top->setFrameShape(QFrame::NoFrame);
        top->setLineWidth(0);
        auto* column = new QVBoxLayout(top);
        column->setObjectName(QStringLiteral("verticalLayout_%1").arg(c + 2));
        avatars[std::size_t(c)] = makeLabel(top, QStringLiteral("avatar") + n);
        avatars[std::size_t(c)]->setAlignment(Qt::AlignCenter);
        avatars[std::size_t(c)]->setMinimumSize(avatarSlot, avatarSlot);
        names[std::size_t(c)] = makeLabel(top, QStringLiteral("name") + n);
        names[std::size_t(c)]->setTextFormat(Qt::PlainText);
        names[std::size_t(c)]->setAlignment(Qt::AlignCenter);
        claims[std::size_t(c)] = new QLabel(top);
        claims[std::size_t(c)]->setObjectName(QStringLiteral("exclamation") + n);
        claims[std::size_t(c)]->setAlignment(Qt::AlignCenter);
        column->addWidget(avatars[std::size_t(c)]);
        column->addWidget(names[std::size_t(c)]);
        column->addWidget(claims[std::size_t(c)]);
        // The winner's word below a name takes no room from the names: what
        // the other columns have to spare goes below them, and every name
        // stands on one line.
        column->addStretch(1);
        grid->addWidget(top, 0, c);

        auto* edit = new QTextEdit(form);
        edit->setObjectName(QStringLiteral("score") + n);
        edit->setReadOnly(true);
        edit->setFrameShape(QFrame::NoFrame);
        edit->setLineWidth(0);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scoreEdits[std::size_t(c)] = edit;
        grid->addWidget(edit, 1, c);
        // The lists' texts (and the style's fonts) settle as the board shows:
        // a list that then needs more room than it has makes the board grow.
        connect(edit->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
            if (max > 0)
                fitLists();
        });

        auto* total = new QLabel(form);
        total->setObjectName(QStringLiteral("total") + n);
        total->setAlignment(Qt::AlignRight | Qt::AlignTop);
        totals[std::size_t(c)] = total;
        grid->addWidget(total, 2, c);
    }
    // The four players share the width alike, whatever their texts; any
    // height to spare goes to the score lists.
    for (int c = 0; c < 4; ++c)
        grid->setColumnStretch(c, 1);
    grid->setRowStretch(1, 1);
    vbox->addLayout(grid);

    scoreMelds = new QTabWidget(form);
    scoreMelds->setObjectName(QStringLiteral("scoreMelds"));
    scoreMelds->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    scoreMelds->setMinimumSize(0, 107);
    scoreMelds->setMaximumSize(16777215, 107);
    for (int c = 0; c < 4; ++c) {
        auto* view = new QGraphicsView;
        view->setObjectName(QStringLiteral("graphicsView%1").arg(c + 1));
        view->setFrameShape(QFrame::NoFrame);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->installEventFilter(this);
        views[std::size_t(c)] = view;
        scoreMelds->addTab(view, QString());
    }
    scoreMelds->setCurrentIndex(1);
    vbox->addWidget(scoreMelds);

    auto* bottom = new QFrame(form);
    bottom->setObjectName(QStringLiteral("bottomFrame"));
    auto* bottomBox = new QVBoxLayout(bottom);
    bottomBox->setObjectName(QStringLiteral("verticalLayout_6"));
    bottomBox->setContentsMargins(0, 6, 0, 9);
    auto* countdownRow = new QHBoxLayout;
    countdownRow->setObjectName(QStringLiteral("horizontalLayout2"));
    countdownRow->addStretch();
    nextRoundLabel = new QLabel(bottom);
    nextRoundLabel->setObjectName(QStringLiteral("nextRoundLabel"));
    nextRoundLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    countdownRow->addWidget(nextRoundLabel);
    nextRoundTimer = new TimerView(bottom, {}, TimerView::PIE, TimerView::GRADIENT);
    nextRoundTimer->setObjectName(QStringLiteral("nextRoundTimer"));
    // As high as it is wide: the label's line alone would squash the dial.
    nextRoundTimer->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    nextRoundTimer->setMinimumSize(32, 32);
    countdownRow->addWidget(nextRoundTimer);
    countdownRow->addStretch();
    bottomBox->addLayout(countdownRow);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setObjectName(QStringLiteral("horizontalLayout"));
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addStretch();
    readyButton = new QPushButton(bottom);
    readyButton->setObjectName(QStringLiteral("readyPushButton"));
    closeButton = new QPushButton(bottom);
    closeButton->setObjectName(QStringLiteral("closePushButton"));
    leaveButton = new QPushButton(bottom);
    leaveButton->setObjectName(QStringLiteral("leavePushButton"));
    for (QPushButton* b : {readyButton, closeButton, leaveButton}) {
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch();
    bottomBox->addLayout(buttonRow);
    vbox->addWidget(bottom);
    retranslateForm();
}

void ScoreBoard::retranslateForm()
{
    form->setWindowTitle(tr("Scores"));
    scoreMelds->setTabText(0, tr("Winning Hand"));
    scoreMelds->setTabText(1, tr("2:nd place"));
    scoreMelds->setTabText(2, tr("3:rd place"));
    scoreMelds->setTabText(3, tr("4:th place"));
    nextRoundLabel->setText(tr("Next hand starts in:"));
    readyButton->setText(tr("Ready"));
    closeButton->setText(tr("Close"));
    leaveButton->setText(tr("Leave"));
    for (std::size_t i = 0; i < 4; ++i)
        scoreEdits[i]->setPlainText(QString());
}

QString ScoreBoard::handScoreTable(const player_score& score, int ruleset)
{
    QString html = QStringLiteral("<table rules=\"groups\" width=\"100%\">");
    if (!score.points.isEmpty())
        html += itemSection(tr("Points:"), score.points, score.pointsTotal);
    if (!score.doubles.isEmpty())
        html += itemSection(tr("Doubles:"), score.doubles, score.doublesTotal);
    if (!score.limitHands.isEmpty()) {
        html += headerTemplate.arg(tr("Limit hands:"));
        for (const ScoreItem& item : score.limitHands)
            html += rowTemplate.arg(itemName(item), QString());
        html += spacerRow;
    }
    if (score.handScore >= 1 && ruleset != 2)
        html += rowTemplate.arg(tr("Hand Score"), number(score.handScore));
    html += QStringLiteral("</table>");
    return html;
}

QString ScoreBoard::settlementTable(const player_score& score, bool withPayment)
{
    QString html = QStringLiteral("<table border=\"0\" width=\"100%\">");
    html += rowTemplate.arg(tr("Settlement"), number(score.settlement));
    html += rowTemplate.arg(tr("Current Score"), number(score.currentScore));
    if (withPayment)
        html += rowTemplate.arg(tr("Payment"), formatMoney(score.payment));
    html += QStringLiteral("</table>");
    return html;
}

void ScoreBoard::showScores(const std::vector<player_score>& scores, qint32 selectedPid, int mahjongType,
                            const TableInfo& table, bool endOfGame)
{
    Shown next{std::vector<player_score>(scores.begin(), scores.begin() + std::ptrdiff_t(std::min<std::size_t>(scores.size(), 4))),
               selectedPid, mahjongType, table, endOfGame};
    shown = next;
    fill(next, true);
}

void ScoreBoard::setTableInfo(const TableInfo& table)
{
    if (!shown)
        return;
    shown->table = table;
    ReadyButtons::apply(readyButton, leaveButton, table, shown->endOfGame, "ScoreBoard");
}

void ScoreBoard::fill(const Shown& s, bool selectTab)
{
    const std::size_t n = s.scores.size();
    static const char* const claimImages[] = {"textimages:claim-mahjong-game-view.png", "textimages:claim-ron.png",
                                              "textimages:claim-tsumo.png"};
    for (std::size_t i = 0; i < 4; ++i) {
        if (i >= n) {
            claims[i]->clear();
            continue;
        }
        const player_score& score = s.scores[i];
        if (score.scoreType == 1) {
            if (s.mahjongType >= 1 && s.mahjongType <= 3)
                claims[i]->setPixmap(PictureFile::pixmap(QString::fromLatin1(claimImages[s.mahjongType - 1])));
            else
                claims[i]->clear();
        } else if (score.scoreType == 0) {
            if (s.table.ruleset == 2 && score.settlement > 0)
                claims[i]->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:claim-tenpai.png")));
            else
                claims[i]->clear();
        }
    }

    for (std::size_t i = 0; i < 4; ++i) {
        DeclaredView* view = scenes[i]->declaredView();
        view->clear();
        if (i < n)
            view->addMelds(s.scores[i].highlighted);
    }

    bool payments = false;
    for (const player_score& score : s.scores)
        payments = payments || score.payment != 0;
    for (std::size_t i = 0; i < 4; ++i) {
        names[i]->setText(i < n ? s.scores[i].name : QString());
        scoreEdits[i]->setHtml(i < n ? handScoreTable(s.scores[i], s.table.ruleset) : QString());
        totals[i]->setText(i < n ? settlementTable(s.scores[i], payments) : QString());
    }
    spreadLists(s);

    ReadyButtons::apply(readyButton, leaveButton, s.table, s.endOfGame, "ScoreBoard");

    // A tab per hand the server sent tiles for: the winner's under "Winning
    // hand", any other under its player's name. A tab without tiles would
    // only show an empty cloth, so it is left out.
    for (int t = 0; t < 4; ++t) {
        QString title;
        const bool used = std::size_t(t) < n;
        if (used && s.scores[std::size_t(t)].scoreType == 1)
            title = tr("Winning hand");
        else if (used && s.scores[std::size_t(t)].scoreType == 0)
            title = s.scores[std::size_t(t)].name;
        scoreMelds->setTabText(t, QString(title).replace(QLatin1Char('&'), QLatin1String("&&")));
        scoreMelds->setTabVisible(t, used && !s.scores[std::size_t(t)].highlighted.empty());
    }

    fitHands();

    if (selectTab) {
        if (s.selectedPid == -1) {
            scoreMelds->setCurrentIndex(0);
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                if (s.scores[i].pid == s.selectedPid) {
                    scoreMelds->setCurrentIndex(int(i));
                    break;
                }
            }
        }
    }
    // Never an empty tab in front while a hand is there to show.
    if (!scoreMelds->isTabVisible(scoreMelds->currentIndex())) {
        for (int t = 0; t < 4; ++t) {
            if (scoreMelds->isTabVisible(t)) {
                scoreMelds->setCurrentIndex(t);
                break;
            }
        }
    }
}

void ScoreBoard::spreadLists(const Shown& s)
{
    // Often only the winner has items to list: a list beside an empty one
    // takes that one's room too, so that its long score names ("Concealed
    // kong of simples") stand on one line rather than wrap beside a blank.
    std::array<bool, 4> listed{};
    for (std::size_t i = 0; i < 4 && i < s.scores.size(); ++i) {
        const player_score& score = s.scores[i];
        listed[i] = !score.points.isEmpty() || !score.doubles.isEmpty() || !score.limitHands.isEmpty()
                    || (score.handScore >= 1 && s.table.ruleset != 2);
    }
    auto* grid = form->findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    for (std::size_t c = 0; c < 4; ++c) {
        const bool spreads = c + 1 < 4 && listed[c] && !listed[c + 1];
        grid->removeWidget(scoreEdits[c]);
        grid->addWidget(scoreEdits[c], 1, int(c), 1, spreads ? 2 : 1);
        scoreEdits[c]->show();
        if (spreads) {
            grid->removeWidget(scoreEdits[++c]);
            grid->addWidget(scoreEdits[c], 1, int(c));
            scoreEdits[c]->hide();
        }
    }
}

void ScoreBoard::fitHands()
{
    for (std::size_t i = 0; i < 4; ++i)
        fitHand(i);
}

void ScoreBoard::fitHand(std::size_t index)
{
    const QRectF hand = scenes[index]->declaredView()->childrenBoundingRect();
    QGraphicsView* view = views[index];
    view->setSceneRect(hand);
    // A hand wider than its tab (a winning row of 26 tiles on a small
    // window) is shown smaller rather than behind a scroll bar.
    const double room = view->width() - 2 * view->frameWidth();
    const double factor = hand.width() > room && room > 0 ? room / hand.width() : 1.0;
    view->setTransform(QTransform::fromScale(factor, factor));
    view->centerOn(hand.center());
}

bool ScoreBoard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        for (std::size_t i = 0; i < 4; ++i)
            if (watched == views[i])
                fitHand(i);
    }
    return MahjongDialog::eventFilter(watched, event);
}

void ScoreBoard::setAvatar(int index, const QPixmap& picture)
{
    if (index < 0 || index > 3)
        return;
    // Pictures come in any size: each fills the slot, in its own proportions.
    const QSize slot(avatarSlot, avatarSlot);
    avatars[std::size_t(index)]->setPixmap(picture.isNull() || picture.size() == slot
                                               ? picture
                                               : picture.scaled(slot, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ScoreBoard::fitHeight(int room)
{
    windowHeight = room;
    fitLists();
}

void ScoreBoard::fitLists()
{
    // Until it shows, 0.8 of the window; shown, as high as its longest score
    // list needs: higher rather than give a list a scroll bar, and no higher
    // on a tall screen (down to its minimum height).
    int wanted = int(0.8 * windowHeight);
    if (isVisible()) {
        int missing = std::numeric_limits<int>::min();
        for (const QTextEdit* edit : scoreEdits)
            missing = std::max(missing, int(std::ceil(edit->document()->size().height())) - edit->viewport()->height());
        wanted = height() + missing;
    }
    if (windowHeight <= 0 || std::min(wanted, windowHeight) == height())
        return;
    // A board that shows keeps its centre, within the window.
    const int centre = geometry().center().y();
    resize(width(), std::min(wanted, windowHeight));
    if (isVisible())
        move(x(), std::clamp(centre - height() / 2, 0, std::max(0, windowHeight - height())));
}

void ScoreBoard::setReadyVisible(bool visible)
{
    readyButton->setVisible(visible);
    closeButton->setVisible(!visible);
}

bool ScoreBoard::isWaitingMode() const
{
    return !readyButton->isHidden();
}

void ScoreBoard::startCountdown(const QDateTime& end)
{
    const bool ahead = ServerTime::currentTime() < end;
    nextRoundLabel->setVisible(ahead);
    nextRoundTimer->setVisible(ahead);
    nextRoundTimer->setDeadline(end);
}

void ScoreBoard::stopCountdown()
{
    nextRoundTimer->setTimeSpan(TimeSpan());
    nextRoundLabel->hide();
    nextRoundTimer->hide();
}

void ScoreBoard::onReadyClick()
{
    hide();
    Q_EMIT readyClicked();
}

void ScoreBoard::onCloseClick()
{
    hide();
    Q_EMIT closeClicked();
}

void ScoreBoard::onLeaveClick()
{
    Q_EMIT leaveClicked();
}

void ScoreBoard::onPlayerNameUpdate(qint32 pid, const QString& name)
{
    if (!shown)
        return;
    for (std::size_t i = 0; i < shown->scores.size(); ++i) {
        if (shown->scores[i].pid == pid) {
            shown->scores[i].name = name;
            names[i]->setText(name);
            if (shown->scores[i].scoreType == 0 && i < 4)
                scoreMelds->setTabText(int(i), QString(name).replace(QLatin1Char('&'), QLatin1String("&&")));
        }
    }
}

void ScoreBoard::onTileGraphicsChanged()
{
    for (auto& scene : scenes)
        scene->declaredView()->relayout();
    fitHands();
}

void ScoreBoard::changeEvent(QEvent* event)
{
    // A language change re-renders the shown scores in the new language; the
    // form's placeholders stand in only before the first scores arrive.
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        if (shown)
            fill(*shown, false);
    }
    MahjongDialog::changeEvent(event);
}
