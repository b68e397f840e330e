#include "GlyphOutlines.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainterPath>

namespace {

QString number(qreal v)
{
    QString s = QString::number(qRound(v * 10) / 10.0, 'f', 1);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString pathData(const QPainterPath& path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += QLatin1Char('M') + number(e.x) + QLatin1Char(' ') + number(e.y);
            break;
        case QPainterPath::LineToElement:
            d += QLatin1Char('L') + number(e.x) + QLatin1Char(' ') + number(e.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QLatin1Char('C') + number(e.x) + QLatin1Char(' ') + number(e.y) + QLatin1Char(' ')
                + number(c2.x) + QLatin1Char(' ') + number(c2.y) + QLatin1Char(' ') + number(end.x)
                + QLatin1Char(' ') + number(end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return d + QLatin1Char('Z');
}

} // namespace

QJsonObject GlyphOutlines::outline(const QJsonArray& requests)
{
    QJsonObject result;
    for (const QJsonValue& v : requests) {
        const QJsonObject r = v.toObject();
        QFont font(r.value(QLatin1String("family")).toString());
        font.setPixelSize(r.value(QLatin1String("pixelSize")).toInt(100));
        font.setWeight(QFont::Weight(r.value(QLatin1String("weight")).toInt(400)));
        font.setLetterSpacing(QFont::AbsoluteSpacing, r.value(QLatin1String("spacing")).toDouble(0));
        font.setStyleStrategy(QFont::PreferOutline);
        font.setHintingPreference(QFont::PreferNoHinting);
        const QString text = r.value(QLatin1String("text")).toString();
        QPainterPath path;
        path.addText(QPointF(0, 0), font, text);
        path.setFillRule(Qt::WindingFill);
        const QRectF b = path.boundingRect();
        QJsonObject o;
        o.insert(QLatin1String("d"), pathData(path));
        o.insert(QLatin1String("x"), b.x());
        o.insert(QLatin1String("y"), b.y());
        o.insert(QLatin1String("w"), b.width());
        o.insert(QLatin1String("h"), b.height());
        o.insert(QLatin1String("advance"), QFontMetricsF(font).horizontalAdvance(text));
        o.insert(QLatin1String("resolvedFamily"), QFontInfo(font).family());
        result.insert(r.value(QLatin1String("key")).toString(), o);
    }
    return result;
}
