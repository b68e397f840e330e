#include "TableMoment.h"

#include "GameLog.h"
#include "ServerTime.h"

#include <QDebug>

namespace {

const char* kindName(unsigned kind)
{
    switch (kind) {
    case TableMoment::Turn:
        return "turn";
    case TableMoment::Claim:
        return "claim";
    case TableMoment::Declaration:
        return "declaration";
    case TableMoment::RobKong:
        return "rob-the-kong offer";
    case TableMoment::Ready:
        return "ready question";
    default:
        return "question";
    }
}

} // namespace

TableMoment::TableMoment(QObject* parent)
    : QObject(parent)
{
}

TableMoment::~TableMoment() = default;

const TableMoment::Question* TableMoment::find(quint64 id) const
{
    for (const std::optional<Question>* slot : {&m_turn, &m_choice, &m_ready})
        if (*slot && (*slot)->id == id && id != 0)
            return &**slot;
    return nullptr;
}

const TableMoment::Question* TableMoment::discardAsked() const
{
    if (m_choice && m_choice->riichiChosen)
        return &*m_choice;
    if (m_choice && (m_choice->kind & (Claim | RobKong)) != 0)
        return nullptr;
    if (m_turn)
        return &*m_turn;
    return m_choice && m_choice->kind == Declaration ? &*m_choice : nullptr;
}

tile_vector TableMoment::riichiTiles() const
{
    tile_vector tiles;
    if (m_choice)
        for (const meld_offer& offer : m_choice->offers)
            if (offer.type == game_protocol::meld_type::RIICHI)
                tiles.push_back(offer.meld_tile);
    return tiles;
}

quint64 TableMoment::open(std::optional<Question>& slot, Question question)
{
    question.id = ++m_lastId;
    qCDebug(lcGame).noquote() << QStringLiteral("%1 %2 asked").arg(QLatin1String(kindName(question.kind))).arg(question.id);
    slot = std::move(question);
    Q_EMIT changed();
    return slot->id;
}

quint64 TableMoment::askTurn(const TimeSpan& span)
{
    return open(m_turn, Question{Turn, 0, span, {}, tile(0), false, false});
}

quint64 TableMoment::askChoice(Kind kind, const meld_offer_vector& offers, tile discard, const TimeSpan& span)
{
    // Another player's tile on offer is no time for the own discard.
    if (kind == Claim || kind == RobKong)
        m_turn.reset();
    return open(m_choice, Question{kind, 0, span, offers, discard, false, false});
}

quint64 TableMoment::askReady(const TimeSpan& span, bool seatOffer)
{
    return open(m_ready, Question{Ready, 0, span, {}, tile(0), false, seatOffer});
}

bool TableMoment::close(unsigned kinds)
{
    bool ended = false;
    for (std::optional<Question>* slot : {&m_turn, &m_choice, &m_ready}) {
        if (*slot && ((*slot)->kind & kinds) != 0) {
            slot->reset();
            ended = true;
        }
    }
    return ended;
}

void TableMoment::end(unsigned kinds)
{
    if (close(kinds))
        Q_EMIT changed();
}

bool TableMoment::answer(quint64 id, const char* what, unsigned alsoEnds)
{
    const Question* question = find(id);
    if (!question) {
        qCDebug(lcGame).noquote() << QStringLiteral("answer (%1) dropped: question %2 is no longer open")
                                         .arg(QLatin1String(what))
                                         .arg(id);
        return false;
    }
    // The server's time-out for it is on its way: an answer sent now would
    // reach it after that, and a pass (which names no offer) would answer
    // whatever it asks by then.
    if (hasExpired(question->span)) {
        qCDebug(lcGame).noquote() << QStringLiteral("answer (%1) dropped: the time of question %2 ran out by the server's clock")
                                         .arg(QLatin1String(what))
                                         .arg(id);
        return false;
    }
    qCDebug(lcGame).noquote() << QStringLiteral("%1 %2 answered: %3")
                                     .arg(QLatin1String(kindName(question->kind)))
                                     .arg(id)
                                     .arg(QLatin1String(what));
    close(question->kind | alsoEnds);
    Q_EMIT changed();
    return true;
}

bool TableMoment::chooseRiichi(quint64 id)
{
    if (!m_choice || m_choice->id != id)
        return false;
    m_choice->riichiChosen = true;
    Q_EMIT changed();
    return true;
}

bool TableMoment::hasExpired(const TimeSpan& span)
{
    const QDateTime end = span.end();
    return isServerTimeKnown(end) && ServerTime::currentTime() >= end;
}

std::optional<qint64> TableMoment::msecsToNextEnd() const
{
    std::optional<qint64> next;
    const QDateTime now = ServerTime::currentTime();
    for (const std::optional<Question>* slot : {&m_turn, &m_choice, &m_ready}) {
        if (!*slot || hasExpired((*slot)->span) || !isServerTimeKnown((*slot)->span.end()))
            continue;
        const qint64 left = msecsBetween(now, (*slot)->span.end());
        if (!next || left < *next)
            next = left;
    }
    return next;
}
