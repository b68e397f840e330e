#pragma once

#include <QByteArray>
#include <QtGlobal>

class QString;

/// A cell's place in its column's order, worked out once when the cell's
/// value is set, so that a sort of many thousands of rows compares keys held
/// side by side instead of asking every cell for its value at every
/// comparison: up to two numbers, compared in turn, a text in the order in
/// which the sort proxies compare texts (QString::localeAwareCompare: the
/// default locale's collation), or a text by its UTF-16 code units. Texts are
/// kept as the bytes of their collation, the first ones in the key itself. A
/// key made without a value (the default) is none: the proxies then compare
/// the cells' values as before.
class SortKey
{
public:
    /// The part of a key that decides nearly every comparison, in 32 bytes
    /// (a sort reads many of them side by side): the first bytes, big-endian
    /// and padded with zeros (for numbers, the two numbers moved to unsigned
    /// order), the collation a text key was made with, and the kind.
    struct Head
    {
        quint64 bytes[3] = {0, 0, 0};
        quint32 generation = 0;
        quint8 kind = 0;
        /// Whether bytes follow the first ones.
        bool more = false;

        /// Whether both heads belong to keys that can be compared (both
        /// valid, of the same kind).
        bool comparable(const Head& other) const { return kind != 0 && kind == other.kind; }
    };

    SortKey() = default;
    static SortKey number(qint64 first, qint64 second = 0);
    /// By the collation of the default locale. A key made before the default
    /// locale changed sorts apart from (before) those made after it; the
    /// models make theirs anew on a language change.
    static SortKey text(const QString& text);
    /// As by QString's operator<.
    static SortKey plain(const QString& text);

    const Head& head() const { return first; }
    /// The bytes after the first ones.
    const QByteArray& rest() const { return after; }
    bool isValid() const { return first.kind != 0; }
    bool comparable(const SortKey& other) const { return first.comparable(other.first); }
    /// Negative, zero or positive as this key sorts before, with or after the
    /// other; only for comparable keys.
    int compare(const SortKey& other) const { return compare(first, after, other.first, other.after); }
    /// The same for keys held as their heads and their rests (read only where
    /// the heads are equal).
    static int compare(const Head& left, const QByteArray& leftRest, const Head& right, const QByteArray& rightRest)
    {
        if (left.generation != right.generation)
            return left.generation < right.generation ? -1 : 1;
        for (int i = 0; i < 3; ++i) {
            if (left.bytes[i] != right.bytes[i])
                return left.bytes[i] < right.bytes[i] ? -1 : 1;
        }
        if (!left.more || !right.more)
            return int(left.more) - int(right.more);
        return compareRests(leftRest, rightRest);
    }

private:
    static int compareRests(const QByteArray& left, const QByteArray& right);

    enum Kind : quint8 { None, Number, Text, Plain };
    static constexpr qsizetype inlineBytes = 24;
    static SortKey fromBytes(Kind kind, quint32 generation, const char* bytes, qsizetype size);

    Head first;
    QByteArray after;
};
