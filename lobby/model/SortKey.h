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
    SortKey() = default;
    static SortKey number(qint64 first, qint64 second = 0);
    /// By the collation of the default locale. A key made before the default
    /// locale changed sorts apart from (before) those made after it; the
    /// models make theirs anew on a language change.
    static SortKey text(const QString& text);
    /// As by QString's operator<.
    static SortKey plain(const QString& text);

    bool isValid() const { return kind != Kind::None; }
    /// Whether both keys can be compared (both valid, of the same kind).
    bool comparable(const SortKey& other) const { return kind != Kind::None && kind == other.kind; }
    /// Negative, zero or positive as this key sorts before, with or after the
    /// other; only for comparable keys.
    int compare(const SortKey& other) const;

private:
    enum class Kind : quint8 { None, Number, Text, Plain };
    static constexpr qsizetype inlineBytes = 24;
    static SortKey fromBytes(Kind kind, quint32 generation, const char* bytes, qsizetype size);

    Kind kind = Kind::None;
    /// The collation a text key was made with.
    quint32 generation = 0;
    /// The first bytes, big-endian and padded with zeros (for numbers, the
    /// two numbers moved to unsigned order), then the bytes after them.
    quint64 head[3] = {0, 0, 0};
    QByteArray rest;
};
