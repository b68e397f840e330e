#pragma once

#include "BugfixWidget.h"

class QLabel;
class TimeSpan;
class TimerView;
class ULabel;

/// The panel of one seated player in the side bar: name, picture, seat wind,
/// points or wins, a countdown dial for the player's turn, a ready or claim
/// image, and a highlight behind the whole panel while it is the player's
/// turn. Names are shown as plain text.
class PlayerWidget : public BugfixWidget
{
    Q_OBJECT
    Q_PROPERTY(bool highlight READ highlight WRITE setHighlight)

public:
    explicit PlayerWidget(QWidget* parent = nullptr);
    ~PlayerWidget() override;

    void setName(const QString& name);
    /// The name as the panel shows it (elided when it does not fit).
    QString name() const;
    /// The wind icon and name of seat wind 0 (East) to 3 (North).
    void setWind(int wind);
    int wind() const { return m_wind; }
    void setWindVisible(bool visible);
    /// 0 single hand (wins are shown), 1 tournament and 2 full game (points);
    /// -1 shows no number.
    void setGameType(int gameType);
    void setScore(int score);
    void setWins(int wins);
    void setScoreVisible(bool visible);
    /// Shows the ready image, or hides the image place (ready or claim).
    void setReady(bool ready);
    /// Shows the claim image of a meld type (1 chow, 2 pong, 8 kong, 16
    /// mahjong, 128 riichi) in the ruleset's words. Any other type throws
    /// std::runtime_error "invalid claim meld <type>".
    void showClaim(int meldType, int ruleset, int mahjongType);
    void hideClaim();
    void setAvatar(const QPixmap& picture);
    /// Counts the player's time down to the span's end.
    void setTimeSpan(const TimeSpan& span);
    void stopTimer();
    void setHighlight(bool on);
    bool highlight() const { return m_highlight; }

    /// The resource path of a claim image; empty for a type without one.
    static QString claimImage(int meldType, int ruleset, int mahjongType);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void updateScoreTexts();
    /// Puts the name in the header strip while the strip shows no wind and
    /// no points, else below it beside the picture.
    void placeName();

    QLabel* highlightLabel = nullptr;
    ULabel* nameLabel = nullptr;
    QLabel* avatarLabel = nullptr;
    TimerView* timer = nullptr;
    QLabel* claimLabel = nullptr;
    QWidget* layoutWidget = nullptr;
    QLabel* windLabel = nullptr;
    QLabel* windText = nullptr;
    QLabel* scoresAndWins = nullptr;
    QLabel* scoresAndWinsLabel = nullptr;

    int m_wind = 0;
    int score = 0;
    int wins = 0;
    int gameType = -1;
    bool m_highlight = true;
    int lastClaim[3] = {0, 0, 0};
    /// The image place shows the ready mark rather than a claim.
    bool showsReady = false;
};
