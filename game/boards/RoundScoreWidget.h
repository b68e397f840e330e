#pragma once

#include <QWidget>

class QGridLayout;
class QLabel;

/// One player's panel on the round score board: picture, name and the
/// round's values. Mode 1 (a tournament round) shows mahjong points, the round
/// result and the tournament points (both in half points); mode 0 (a money
/// round) shows a single row, the round balance in money.
class RoundScoreWidget : public QWidget
{
    Q_OBJECT

public:
    enum Mode { Money = 0, Tournament = 1 };

    RoundScoreWidget(int mode, QWidget* parent);
    ~RoundScoreWidget() override;

    void setName(const QString& name);
    void setAvatar(const QPixmap& picture);
    void setMahjongPoints(int points);
    /// Half points in a tournament round, cents in a money round.
    void setRoundResult(qint64 result);
    /// Half points.
    void setTournamentPoints(qint64 points);

    int mode() const { return m_mode; }
    qint64 roundResult() const { return m_roundResult; }
    int mahjongPoints() const { return m_mahjongPoints; }
    qint64 tournamentPoints() const { return m_tournamentPoints; }
    /// The name as shown.
    QString screenName() const;

    /// The label of the form by object name ("mahjongPoints", "roundResultsLabel", ...).
    QLabel* label(const char* name) const;

    /// Half points as shown: 5 reads 2.5, 4 reads 2.
    static QString halfPointsText(qint64 halfPoints);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateForm();
    void showValues();

    int m_mode;
    int m_mahjongPoints = 0;
    qint64 m_roundResult = 0;
    qint64 m_tournamentPoints = 0;
    bool m_filled = false;
};
