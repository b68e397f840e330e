#pragma once

#include "SortKey.h"

class QDateTime;
class QVariant;
struct ValueColumnType;
struct RulesetGameTypePair;
struct TournamentRegisteredInfo;

/// The one typed ordering that every lobby and tournament sort proxy uses:
/// buy-ins by their total, rules by their text, tournament players by
/// registered then maximum, numbers and times by value, the rest as text.
/// A strict weak order: no value sorts before itself.
bool variantLessThan(const QVariant& left, const QVariant& right);

/// The keys of the same order, made once per value: a cell keeps the key of
/// its value for the sorts. Values of other types have none and are compared
/// as values.
SortKey sortKeyOf(int value);
SortKey sortKeyOf(qint64 value);
/// An invalid time before every valid one.
SortKey sortKeyOf(const QDateTime& value);
SortKey sortKeyOf(const ValueColumnType& value);
SortKey sortKeyOf(const TournamentRegisteredInfo& value);
/// By the text in the language shown when the key is made.
SortKey sortKeyOf(const RulesetGameTypePair& value);
template<typename T>
SortKey sortKeyOf(const T&)
{
    return {};
}
