#pragma once

#include "TimeSpan.h"
#include "meld.h"
#include "tile.h"

#include <QObject>

#include <optional>

/// What the server has asked the user at one table and not yet had answered
/// or taken back: the own turn to discard, a choice among the offers it made
/// (a claim on a discard, what to declare on the own turn, robbing a kong)
/// and whether the user is ready for the next hand (or to take the seat).
///
/// The table's model opens a question when the server asks and ends it, in
/// this one object, wherever play ends the moment: another player's draw,
/// turn or discard, a claim or a meld, a time-out, the hand's end, a new
/// deal, a snapshot, a seat given up. Each question has an id of its own, so
/// that an answer prepared for one (a key pressed at a chooser, an automatic
/// pass waiting for the end of a backlog) can never answer the next one. The
/// page arms its controls from this object only, and every answer is checked
/// against it when it is made: one for a question no longer open is dropped
/// with a debug line.
class TableMoment : public QObject
{
    Q_OBJECT

public:
    /// The kinds of question, usable as a set.
    enum Kind : unsigned {
        Turn = 1,        ///< the own turn: a tile to discard
        Claim = 2,       ///< the offers on another player's discard
        Declaration = 4, ///< the offers of the own turn (a kong, riichi, a win)
        RobKong = 8,     ///< robbing a kong to win
        Ready = 16,      ///< ready for the next hand, or to take the offered seat
        Choices = Claim | Declaration | RobKong,
        /// What a hand asks: everything but Ready.
        Hand = Turn | Choices,
        All = Hand | Ready,
    };

    struct Question
    {
        Kind kind = Turn;
        /// Never 0 (no question), never used twice at a table.
        quint64 id = 0;
        /// The time the server gave to answer; null while it named none.
        TimeSpan span;
        /// A choice's offers (those the rules allow); may be empty.
        meld_offer_vector offers;
        /// A claim's discard.
        tile discard{0};
        /// Riichi was chosen on this choice; its tile is still to be picked.
        bool riichiChosen = false;
        /// Ready: the seat is offered (rather than the next hand).
        bool seatOffer = false;
    };

    explicit TableMoment(QObject* parent = nullptr);
    ~TableMoment() override;

    const Question* turn() const { return m_turn ? &*m_turn : nullptr; }
    /// The open claim, declaration or rob-the-kong choice; at most one is open.
    const Question* choice() const { return m_choice ? &*m_choice : nullptr; }
    const Question* ready() const { return m_ready ? &*m_ready : nullptr; }
    /// The open question with this id, or null.
    const Question* find(quint64 id) const;
    /// The question a tile from the own hand answers: the choice riichi was
    /// chosen on, else the own turn or its declaration; null while none is
    /// open or another player's tile is on offer.
    const Question* discardAsked() const;
    /// The tiles the open choice offers riichi with.
    tile_vector riichiTiles() const;

    /// Open a question (replacing an open one of its kind; a claim or robbing
    /// a kong also ends the own turn, which is not the user's while another
    /// player's tile is on offer). Each returns the new question's id.
    quint64 askTurn(const TimeSpan& span);
    quint64 askChoice(Kind kind, const meld_offer_vector& offers, tile discard, const TimeSpan& span);
    quint64 askReady(const TimeSpan& span, bool seatOffer);

    /// Ends the open questions of these kinds: play has moved past them or
    /// the server took them back.
    void end(unsigned kinds);
    /// The user answers question `id` (`what` names the answer in the log);
    /// it ends, together with the open questions of the kinds `alsoEnds`.
    /// False, with a debug line, when the question is no longer open or its
    /// span has ended by the server's clock: the answer is then not to be
    /// sent (the server's time-out answers it).
    bool answer(quint64 id, const char* what, unsigned alsoEnds = 0);
    /// Riichi was chosen on choice `id`: the choice stays open until its tile
    /// is picked (the answer) or the turn ends. False when it is not open.
    bool chooseRiichi(quint64 id);

    /// Whether the span's end has passed by the server's clock. A span
    /// without an end the client can read never has.
    static bool hasExpired(const TimeSpan& span);
    /// Milliseconds until the earliest end of an open question's span that
    /// has not passed yet; none while no open question has one.
    std::optional<qint64> msecsToNextEnd() const;

Q_SIGNALS:
    /// A question opened or ended (or riichi was chosen on one).
    void changed();

private:
    /// Ends the questions of these kinds without a signal; whether one was open.
    bool close(unsigned kinds);
    quint64 open(std::optional<Question>& slot, Question question);

    std::optional<Question> m_turn;
    std::optional<Question> m_choice;
    std::optional<Question> m_ready;
    quint64 m_lastId = 0;
};
