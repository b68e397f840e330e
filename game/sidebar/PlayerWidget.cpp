#include "PlayerWidget.h"

#include "ClaimImage.h"
#include "PictureFile.h"
#include "TimeSpan.h"
#include "TimerView.h"
#include "ULabel.h"
#include "Utils.h"
#include "wind.h"

#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QTextDocument>

#include <cstdlib>
#include <stdexcept>

namespace {
/// The six text colours of the panel, made once for the whole program.
struct PanelPalettes
{
    QPalette windNormal, windHighlight, nameNormal, nameHighlight, scoreNormal, scoreHighlight;

    PanelPalettes()
    {
        auto make = [](QPalette& p, int r, int g, int b) { p.setColor(QPalette::All, QPalette::WindowText, QColor(r, g, b)); };
        make(windNormal, 237, 229, 190);
        make(windHighlight, 130, 193, 60);
        make(nameNormal, 255, 244, 189);
        make(nameHighlight, 242, 242, 242);
        make(scoreNormal, 255, 244, 189);
        make(scoreHighlight, 255, 255, 255);
    }
};

const PanelPalettes& palettes()
{
    static const PanelPalettes p;
    return p;
}

QLabel* fixedLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}
}

PlayerWidget::PlayerWidget(QWidget* parent)
    : BugfixWidget(parent)
{
    palettes();
    setupUi();
    windLabel->setBackgroundRole(QPalette::NoRole);
    score = 0;
    updateScoreTexts();
    wins = 0;
    updateScoreTexts();
    claimLabel->hide();
    setHighlight(false);
    windLabel->hide();
    windText->hide();
    scoresAndWins->hide();
    scoresAndWinsLabel->hide();
    highlightLabel->setPixmap(PictureFile::pixmap(QStringLiteral("resources:/sb-hilight.png")));
    timer->lower();
    placeName();
}

PlayerWidget::~PlayerWidget() = default;

void PlayerWidget::setupUi()
{
    setObjectName(QStringLiteral("PlayerWidget"));
    resize(228, 98);
    setMinimumSize(228, 98);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    highlightLabel = new QLabel(this);
    highlightLabel->setObjectName(QStringLiteral("highlightLabel"));
    highlightLabel->setGeometry(0, 0, 6, 16);

    nameLabel = new ULabel(this);
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    nameLabel->setGeometry(72, 30, 149, 20);
    nameLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    nameLabel->setWordWrap(true);
    nameLabel->setElideMode(Qt::ElideRight);
    // A name is the player's own text, never markup.
    nameLabel->setTextFormat(Qt::PlainText);

    avatarLabel = fixedLabel(this, "avatarLabel");
    avatarLabel->setGeometry(4, 30, 64, 64);
    avatarLabel->setMinimumSize(64, 64);
    avatarLabel->setAlignment(Qt::AlignCenter);

    timer = new TimerView(this, {}, TimerView::PIE, TimerView::GRADIENT);
    timer->setObjectName(QStringLiteral("timer"));
    timer->setGeometry(175, 50, 35, 35);

    claimLabel = fixedLabel(this, "claimLabel");
    // Clear of the picture's box, which ends at 68.
    claimLabel->setGeometry(70, 50, 99, 47);

    layoutWidget = new QWidget(this);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    layoutWidget->setGeometry(0, 1, 223, 29);
    auto* hboxLayout = new QHBoxLayout(layoutWidget);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setContentsMargins(0, 0, 0, 0);
    auto* hboxLayout1 = new QHBoxLayout();
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    hboxLayout1->setSpacing(6);
    windLabel = fixedLabel(layoutWidget, "windLabel");
    windLabel->setMinimumSize(26, 21);
    windLabel->setAlignment(Qt::AlignVCenter);
    hboxLayout1->addWidget(windLabel);
    windText = new QLabel(layoutWidget);
    windText->setObjectName(QStringLiteral("windText"));
    windText->setAlignment(Qt::AlignVCenter);
    hboxLayout1->addWidget(windText);
    hboxLayout->addLayout(hboxLayout1);
    hboxLayout->addSpacerItem(new QSpacerItem(40, 27, QSizePolicy::Expanding, QSizePolicy::Minimum));
    scoresAndWins = new QLabel(layoutWidget);
    scoresAndWins->setObjectName(QStringLiteral("scoresAndWins"));
    hboxLayout->addWidget(scoresAndWins);
    scoresAndWinsLabel = new QLabel(layoutWidget);
    scoresAndWinsLabel->setObjectName(QStringLiteral("scoresAndWinsLabel"));
    hboxLayout->addWidget(scoresAndWinsLabel);
}

void PlayerWidget::setName(const QString& name)
{
    nameLabel->setText(name);
    // The label's tool tip holds the whole name; a name that looks like
    // markup would be shown as markup there.
    nameLabel->setToolTip(richToolTip(name));
}

QString PlayerWidget::name() const
{
    return nameLabel->QLabel::text();
}

void PlayerWidget::setWind(int wind)
{
    const QPixmap strip = PictureFile::pixmap(QStringLiteral("resources:/sb-winds.png"));
    windLabel->setPixmap(strip.isNull() ? QPixmap() : strip.copy(wind * 26, 0, 26, 21));
    windText->setText(windDisplayName(wind));
    m_wind = wind;
}

void PlayerWidget::setWindVisible(bool visible)
{
    windLabel->setVisible(visible);
    windText->setVisible(visible);
    placeName();
}

void PlayerWidget::setGameType(int type)
{
    gameType = type;
    updateScoreTexts();
}

void PlayerWidget::setScore(int value)
{
    score = value;
    updateScoreTexts();
}

void PlayerWidget::setWins(int value)
{
    wins = value;
    updateScoreTexts();
}

void PlayerWidget::setScoreVisible(bool visible)
{
    scoresAndWins->setVisible(visible);
    scoresAndWinsLabel->setVisible(visible);
    placeName();
}

void PlayerWidget::placeName()
{
    // Until the deal gives the seat its wind and the game its points, the
    // header strip has nothing of its own: the name takes it, and the ready
    // mark sits beside the picture below it.
    const bool headerFree = windText->isHidden() && scoresAndWins->isHidden();
    nameLabel->setGeometry(headerFree ? QRect(6, 1, 215, 28) : QRect(72, 30, 149, 20));
    claimLabel->setGeometry(70, headerFree ? 39 : 50, 99, 47);
}

void PlayerWidget::updateScoreTexts()
{
    switch (gameType) {
    case -1:
        scoresAndWins->clear();
        scoresAndWinsLabel->clear();
        break;
    case 0:
        scoresAndWins->setText(QStringLiteral("%L1").arg(wins));
        scoresAndWinsLabel->setText(
            tr("%nwins", "don't include %n in translation, only used to get correct noun form", wins));
        break;
    case 1:
    case 2:
        scoresAndWins->setText(QStringLiteral("%L1").arg(score));
        // The noun follows the size of the number: a count below zero would
        // pick the singular form.
        scoresAndWinsLabel->setText(
            tr("%npts", "don't include %n in translation, only used to get correct noun form", std::abs(score)));
        break;
    default:
        scoresAndWins->clear();
        qWarning("Unrecognized game_type: %d", gameType);
        break;
    }
}

void PlayerWidget::setReady(bool ready)
{
    if (ready) {
        claimLabel->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:ready.png")));
        showsReady = true;
    }
    claimLabel->setVisible(ready);
}

QString PlayerWidget::claimImage(int meldType, int ruleset, int mahjongType)
{
    return ClaimImage::path(meldType, mahjongType, ruleset, ClaimImage::panelMahjong);
}

void PlayerWidget::showClaim(int meldType, int ruleset, int mahjongType)
{
    lastClaim[0] = meldType;
    lastClaim[1] = ruleset;
    lastClaim[2] = mahjongType;
    const QString image = claimImage(meldType, ruleset, mahjongType);
    if (image.isEmpty())
        throw std::runtime_error("invalid claim meld " + std::to_string(meldType));
    claimLabel->setPixmap(PictureFile::pixmap(image));
    claimLabel->show();
    showsReady = false;
}

void PlayerWidget::hideClaim()
{
    claimLabel->hide();
}

void PlayerWidget::setAvatar(const QPixmap& picture)
{
    // Pictures come in any size: each fills the box, in its own proportions.
    const QSize box = avatarLabel->minimumSize();
    avatarLabel->setPixmap(picture.isNull() || picture.size() == box
                               ? picture
                               : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PlayerWidget::setTimeSpan(const TimeSpan& span)
{
    timer->setTimeSpan(span);
}

void PlayerWidget::stopTimer()
{
    timer->setTimeSpan(TimeSpan());
}

void PlayerWidget::setHighlight(bool on)
{
    if (on == m_highlight)
        return;
    m_highlight = on;
    highlightLabel->setVisible(on);
    highlightLabel->setGeometry(0, 0, width(), height());
    const PanelPalettes& p = palettes();
    windText->setPalette(on ? p.windHighlight : p.windNormal);
    nameLabel->setPalette(on ? p.nameHighlight : p.nameNormal);
    scoresAndWins->setPalette(on ? p.scoreHighlight : p.scoreNormal);
    if (on)
        highlightLabel->stackUnder(timer);
}

void PlayerWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        updateScoreTexts();
        setWind(m_wind);
        // Shown on the panel, even while the panel itself is out of sight.
        // The place holds the ready mark or the claim, whichever came last;
        // an earlier claim must not replace the ready mark.
        if (!claimLabel->isHidden() && showsReady) {
            claimLabel->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:ready.png")));
        } else if (!claimLabel->isHidden() && lastClaim[0] != 0) {
            const QString image = claimImage(lastClaim[0], lastClaim[1], lastClaim[2]);
            if (!image.isEmpty())
                claimLabel->setPixmap(PictureFile::pixmap(image));
        }
    }
    BugfixWidget::changeEvent(event);
}
