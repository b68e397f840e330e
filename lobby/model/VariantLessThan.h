#pragma once

class QVariant;

/// The one typed ordering that every lobby and tournament sort proxy uses:
/// buy-ins by their total, rules by their text, tournament players by
/// registered then maximum, numbers and times by value, the rest as text.
/// A strict weak order: no value sorts before itself.
bool variantLessThan(const QVariant& left, const QVariant& right);
