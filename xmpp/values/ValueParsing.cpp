#include "ValueParsing.h"

#include "XmlTree.h"
#include <QRegularExpression>

namespace xmpp {

QDateTime parseDateTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.(\d+))?(?:(Z)|([+-])(\d{2}):(\d{2}))$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    QDateTime invalid;
    invalid.setTimeSpec(Qt::UTC);
    if (!m.hasMatch())
        return invalid;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    // Only milliseconds are kept: the rest of a longer fraction is cut, not rounded.
    const QString fraction = (m.captured(7) + QStringLiteral("000")).left(3);
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), fraction.toInt());
    if (!date.isValid() || !time.isValid())
        return invalid;
    QDateTime result(date, time, Qt::UTC);
    if (m.captured(8).isEmpty()) {
        const int hours = m.captured(10).toInt();
        const int minutes = m.captured(11).toInt();
        if (hours > 23 || minutes > 59)
            return invalid;
        const int offset = (hours * 60 + minutes) * 60;
        // Local time minus its offset is UTC.
        result = result.addSecs(m.captured(9) == QLatin1String("+") ? -offset : offset);
    }
    return result;
}

QDateTime parseLegacyDateTime(const QString& text)
{
    QDateTime stamp = QDateTime::fromString(text, QStringLiteral("yyyyMMddThh:mm:ss"));
    if (stamp.isValid()) {
        stamp = QDateTime(stamp.date(), stamp.time(), Qt::UTC);
        return stamp;
    }
    return parseDateTime(text);
}

QByteArray parsePhotoHash(const XmlElement& update)
{
    const XmlElement photo = update.firstChildElement(QStringLiteral("photo"));
    if (photo.isNull())
        return QByteArray();
    QByteArray hash = QByteArray::fromHex(photo.text().toLatin1());
    if (hash.isNull())
        hash = QByteArray("");
    return hash;
}

} // namespace xmpp
