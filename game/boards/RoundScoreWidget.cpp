#include "RoundScoreWidget.h"

#include "Utils.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>

namespace {

QLabel* addLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

RoundScoreWidget::RoundScoreWidget(int mode, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("RoundScoreWidget"));
    resize(334, 94);
    auto* avatar = addLabel(this, "avatar");
    avatar->setGeometry(14, 14, 64, 64);
    avatar->setScaledContents(true);
    auto* name = addLabel(this, "screenName");
    name->setGeometry(95, 10, 241, 18);
    name->setAlignment(Qt::AlignCenter);
    auto* box = new QWidget(this);
    box->setObjectName(QStringLiteral("widget"));
    box->setGeometry(106, 27, 216, 65);
    auto* grid = new QGridLayout(box);
    grid->setObjectName(QStringLiteral("gridLayout"));
    grid->setSpacing(0);
    grid->setContentsMargins(0, 3, 0, 3);
    const char* const rows[][2] = {
        {"mahjongPointsLabel", "mahjongPoints"},
        {"roundResultsLabel", "roundResults"},
        {"tournamentPointsLabel", "tournamentPoints"},
    };
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(addLabel(box, rows[r][0]), r, 0);
        auto* value = addLabel(box, rows[r][1]);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, r, 1);
    }
    retranslateForm();
    if (m_mode == Money) {
        for (const char* hidden : {"roundResults", "roundResultsLabel", "tournamentPoints", "tournamentPointsLabel"})
            label(hidden)->hide();
    }
}

RoundScoreWidget::~RoundScoreWidget() = default;

QLabel* RoundScoreWidget::label(const char* name) const
{
    return findChild<QLabel*>(QString::fromLatin1(name));
}

QString RoundScoreWidget::halfPointsText(qint64 halfPoints)
{
    // Whole numbers, whatever their size: no exponent, nothing rounded.
    const QString whole = QString::number(halfPoints / 2);
    if (halfPoints % 2 == 0)
        return whole;
    return (halfPoints < 0 && halfPoints / 2 == 0 ? QStringLiteral("-") : QString()) + whole + QStringLiteral(".5");
}

void RoundScoreWidget::retranslateForm()
{
    label("mahjongPointsLabel")->setText(m_mode == Money ? tr("Round balance:") : tr("Mahjong points:"));
    label("roundResultsLabel")->setText(tr("Round results:"));
    label("tournamentPointsLabel")->setText(tr("Tournament points:"));
    if (!m_filled) {
        label("screenName")->setText(tr("name"));
        label("mahjongPoints")->setText(QStringLiteral("0"));
        label("roundResults")->setText(QStringLiteral("0"));
        label("tournamentPoints")->setText(QStringLiteral("?"));
    }
}

void RoundScoreWidget::showValues()
{
    if (m_mode == Tournament) {
        label("mahjongPoints")->setText(QString::number(m_mahjongPoints));
        label("roundResults")->setText(halfPointsText(m_roundResult));
    } else if (m_mode == Money) {
        label("mahjongPoints")->setText(formatMoney(m_roundResult));
    }
}

void RoundScoreWidget::setName(const QString& name)
{
    m_filled = true;
    label("screenName")->setText(name);
}

void RoundScoreWidget::setAvatar(const QPixmap& picture)
{
    label("avatar")->setPixmap(picture);
}

void RoundScoreWidget::setMahjongPoints(int points)
{
    m_filled = true;
    m_mahjongPoints = points;
    if (m_mode == Tournament)
        label("mahjongPoints")->setText(QString::number(points));
}

void RoundScoreWidget::setRoundResult(qint64 result)
{
    m_filled = true;
    m_roundResult = result;
    showValues();
}

void RoundScoreWidget::setTournamentPoints(qint64 points)
{
    m_filled = true;
    m_tournamentPoints = points;
    label("tournamentPoints")->setText(halfPointsText(points));
}

QString RoundScoreWidget::screenName() const
{
    return label("screenName")->text();
}

void RoundScoreWidget::changeEvent(QEvent* event)
{
    // A language change re-renders what is shown (money texts follow the
    // locale); the form's placeholders only stand in before the first fill.
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        if (m_filled)
            showValues();
    }
    QWidget::changeEvent(event);
}
