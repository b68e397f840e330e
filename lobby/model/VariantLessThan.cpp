#include "VariantLessThan.h"

#include "RulesetGameTypePair.h"
#include "TournamentRegisteredInfo.h"
#include "ValueColumnType.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>

#include <limits>

namespace {
template<typename T>
bool both(const QVariant& left, const QVariant& right)
{
    const QMetaType type = QMetaType::fromType<T>();
    return left.metaType() == type && right.metaType() == type;
}

template<typename T>
bool lessAs(const QVariant& left, const QVariant& right)
{
    return left.value<T>() < right.value<T>();
}
}

bool variantLessThan(const QVariant& left, const QVariant& right)
{
    if (both<ValueColumnType>(left, right))
        return left.value<ValueColumnType>().buyInTotal() < right.value<ValueColumnType>().buyInTotal();
    if (both<RulesetGameTypePair>(left, right))
        return left.value<RulesetGameTypePair>().toString() < right.value<RulesetGameTypePair>().toString();
    if (both<TournamentRegisteredInfo>(left, right)) {
        const auto l = left.value<TournamentRegisteredInfo>();
        const auto r = right.value<TournamentRegisteredInfo>();
        if (l.registered != r.registered)
            return l.registered < r.registered;
        return l.maxPlayers < r.maxPlayers;
    }

    // An empty value sorts before every other one, and never before itself.
    if (!left.isValid())
        return right.isValid();
    if (!right.isValid())
        return false;

    switch (left.typeId()) {
    case QMetaType::Int:
        return lessAs<int>(left, right);
    case QMetaType::UInt:
        return lessAs<uint>(left, right);
    case QMetaType::LongLong:
        return lessAs<qlonglong>(left, right);
    case QMetaType::ULongLong:
        return lessAs<qulonglong>(left, right);
    case QMetaType::Double:
        return lessAs<double>(left, right);
    case QMetaType::QChar:
        return lessAs<QChar>(left, right);
    case QMetaType::QDate:
        return lessAs<QDate>(left, right);
    case QMetaType::QTime:
        return lessAs<QTime>(left, right);
    case QMetaType::QDateTime:
        return lessAs<QDateTime>(left, right);
    default:
        return left.toString() < right.toString();
    }
}

SortKey sortKeyOf(int value)
{
    return SortKey::number(value);
}

SortKey sortKeyOf(qint64 value)
{
    return SortKey::number(value);
}

SortKey sortKeyOf(const QDateTime& value)
{
    return SortKey::number(value.isValid() ? value.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
}

SortKey sortKeyOf(const ValueColumnType& value)
{
    return SortKey::number(value.buyInTotal());
}

SortKey sortKeyOf(const TournamentRegisteredInfo& value)
{
    return SortKey::number(value.registered, value.maxPlayers);
}

SortKey sortKeyOf(const RulesetGameTypePair& value)
{
    return SortKey::plain(value.toString());
}
