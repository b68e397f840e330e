#pragma once

#include <QGraphicsPixmapItem>

/// The large word shown at a seat's side of the wall when that player claims
/// or declares ("chow", "pong", "kong", "riichi", "ron", "tsumo", mahjong),
/// in the words of the table's ruleset (riichi tables say "chii", "pon",
/// "kan"), from the language's text images.
class PlayerActionView : public QGraphicsPixmapItem
{
public:
    enum AnchorMode { AnchorEdge = 0, AnchorCentre = 1 };

    explicit PlayerActionView(int orientation);

    /// The claim (meld type code 1, 2, 8, 16, 128) and, for mahjong, how it
    /// was won (2 a discard, 3 self-drawn); any other kind clears the picture.
    void setClaim(int kind, int subKind = 0);
    void setAnchorMode(int mode);
    void setScale(double scale);
    /// The table's ruleset index (2 = riichi); used from the next claim shown.
    void setRuleset(int ruleset);
    /// Redraws the current claim (after a change of language).
    void refresh();

    int orientation() const { return m_orientation; }
    int kind() const { return m_kind; }
    int subKind() const { return m_subKind; }
    /// The text image a claim shows at a ruleset; empty for unknown kinds.
    static QString imagePath(int kind, int subKind, int ruleset);

private:
    int m_orientation;
    int m_kind = 0;
    int m_subKind = 0;
    int m_ruleset = 0;
    int m_anchorMode = AnchorEdge;
    double m_scale = 1.0;
};
