#include "SortKey.h"

#include <QLocale>
#include <QString>
#include <QtEndian>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {
/// The collator of the default locale, set up as QCollator sets up its own,
/// made again when the default locale changes; the generation counts the
/// changes. The C locale compares UTF-16 code units, as QCollator does there.
class Collation
{
public:
    Collation() = default;
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;
    ~Collation() { close(); }

    /// The collator for the default locale, null for the C locale or where
    /// ICU has none.
    const UCollator* current(quint32& generationOut)
    {
        const QLocale now;
        if (generation == 0 || now != locale) {
            close();
            locale = now;
            ++generation;
            if (locale.language() != QLocale::C) {
                UErrorCode status = U_ZERO_ERROR;
                collator = ucol_open(locale.bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1().constData(),
                                     &status);
                if (U_FAILURE(status)) {
                    close();
                } else {
                    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
                    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
                    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
                    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
                }
            }
        }
        generationOut = generation;
        return collator;
    }

private:
    void close()
    {
        if (collator)
            ucol_close(collator);
        collator = nullptr;
    }

    QLocale locale;
    UCollator* collator = nullptr;
    quint32 generation = 0;
};

/// A text's UTF-16 code units, big-endian: their byte order is their order.
QByteArray codeUnits(const QString& text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToBigEndian<quint16>(text.utf16(), text.size(), bytes.data());
    return bytes;
}
}

SortKey SortKey::number(qint64 first, qint64 second)
{
    SortKey key;
    key.first.kind = Number;
    key.first.bytes[0] = quint64(first) ^ (quint64(1) << 63);
    key.first.bytes[1] = quint64(second) ^ (quint64(1) << 63);
    return key;
}

SortKey SortKey::text(const QString& text)
{
    static Collation collation;
    quint32 generation = 0;
    const UCollator* collator = collation.current(generation);
    if (!collator) {
        const QByteArray units = codeUnits(text);
        return fromBytes(Text, generation, units.constData(), units.size());
    }
    std::vector<char> bytes(std::size_t(64 + text.size() * 4));
    const auto source = reinterpret_cast<const UChar*>(text.utf16());
    int size = ucol_getSortKey(collator, source, int(text.size()), reinterpret_cast<uint8_t*>(bytes.data()),
                               int(bytes.size()));
    if (size > int(bytes.size())) {
        bytes.resize(std::size_t(size));
        size = ucol_getSortKey(collator, source, int(text.size()), reinterpret_cast<uint8_t*>(bytes.data()), size);
    }
    // The key ends in one zero byte, and holds no other: without it, the
    // zeros that pad a short key sort the same.
    return fromBytes(Text, generation, bytes.data(), std::max(size - 1, 0));
}

SortKey SortKey::plain(const QString& text)
{
    const QByteArray units = codeUnits(text);
    return fromBytes(Plain, 0, units.constData(), units.size());
}

SortKey SortKey::fromBytes(Kind kind, quint32 generation, const char* bytes, qsizetype size)
{
    SortKey key;
    key.first.kind = kind;
    key.first.generation = generation;
    char padded[inlineBytes] = {};
    std::memcpy(padded, bytes, std::size_t(std::min(size, inlineBytes)));
    for (int i = 0; i < 3; ++i)
        key.first.bytes[i] = qFromBigEndian<quint64>(padded + 8 * i);
    key.first.more = size > inlineBytes;
    if (key.first.more)
        key.after = QByteArray(bytes + inlineBytes, size - inlineBytes);
    return key;
}

int SortKey::compareRests(const QByteArray& left, const QByteArray& right)
{
    const int common = std::memcmp(left.constData(), right.constData(), std::size_t(std::min(left.size(), right.size())));
    if (common != 0)
        return common;
    return left.size() < right.size() ? -1 : (left.size() > right.size() ? 1 : 0);
}
