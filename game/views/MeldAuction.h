#pragma once

#include "TitleBarDrag.h"
#include "meld.h"

#include <QFrame>
#include <QPoint>

#include <memory>
#include <vector>

class MeldChoice;
class QKeySequence;
class QLabel;
class QShortcut;
class UPushButton;

/// The claim chooser: a small frame over the table with one row per meld the
/// server offers (a preview and a button with its shortcut) and the buttons
/// Riichi, Mahjong, Pass and Close. The pick goes back to the table window.
/// Offers it cannot show are logged and left out; no two rows share a key.
/// A key answers at the press, as a click does (a button's own shortcut
/// clicks it only when its press has shown, a tenth of a second later, on
/// whatever is up then), and keeps its key through every text change and
/// language switch. A hidden chooser reports nothing: the table hides it with
/// the answer, so a second key typed after it reaches nothing.
class MeldAuction : public QFrame
{
    Q_OBJECT

public:
    /// Modes: a claim on a discard, a declaration on the own turn, robbing a kong.
    enum Mode { Claim = 0, Concealed = 1, RobKong = 2 };

    explicit MeldAuction(QWidget* parent = nullptr);
    ~MeldAuction() override;

    /// Removes every row and hides every button.
    void clear();
    void showCloseButton();
    void showPassButton();
    /// The most rows a choice has: three chows, a pong and a kong of one discard.
    static constexpr int maxRows = 5;

    /// Adds an offer: riichi and mahjong show their buttons, other offers a
    /// row; `lastDiscard` is the claimed discard (or the offer's own tile on
    /// the own turn). An offer already shown with the same button adds
    /// nothing. Returns false, with a warning in the log, for an offer that
    /// cannot be shown (a chow that does not fit the discard, an unknown
    /// type, a row past maxRows).
    bool addOffer(const meld_offer& offer, tile lastDiscard);
    /// Sets the mode and the title.
    void setMode(int mode);
    /// The same as setMode with Concealed or Claim.
    void setConcealed(bool concealed) { setMode(concealed ? Concealed : Claim); }
    int mode() const { return m_mode; }

    /// The rows in the order they were added.
    std::vector<MeldChoice*> choices() const;
    UPushButton* riichiButton() const { return riichi; }
    UPushButton* mahjongButton() const { return mahjong; }
    UPushButton* passButton() const { return pass; }
    UPushButton* closeButton() const { return close; }
    QLabel* titleLabel() const { return title; }
    /// The keys of Pass and Mahjong.
    QKeySequence passKey() const;
    QKeySequence mahjongKey() const;

Q_SIGNALS:
    /// A meld, riichi ({128, 0}) or mahjong ({16, 0}) was picked.
    void meldSelected(meld_offer offer);
    void passSelected();
    /// Close was pressed; the chooser is hidden already.
    void closeSelected();

public Q_SLOTS:
    void mahjongClicked();
    void riichiClicked();
    void passClicked();
    void closeClicked();

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void retranslate();
    void assignShortcuts();
    /// Reports the pick unless the chooser was hidden.
    void answerWith(const meld_offer& offer);

    QLabel* title = nullptr;
    QWidget* meldChoice = nullptr;
    UPushButton* riichi = nullptr;
    UPushButton* mahjong = nullptr;
    UPushButton* pass = nullptr;
    UPushButton* close = nullptr;
    QShortcut* passShortcut = nullptr;
    QShortcut* mahjongShortcut = nullptr;
    QShortcut* riichiShortcut = nullptr;
    std::vector<std::shared_ptr<QWidget>> rows;
    bool mahjongOffered = false;
    bool passOffered = false;
    int m_mode = Claim;
    TitleBarDrag drag;
};
