#include "Utils.h"

#include "ResourceFile.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QMainWindow>
#include <QSettings>
#include <QTextDocument>
#include <QTextStream>

namespace {

int textWidth(const QFontMetrics& metrics, const QString& text)
{
    const QRect r = metrics.boundingRect(text);
    return r.right() - r.left() + 1;
}

}

QString formatMoney(qint64 cents)
{
    // The one money rule of the program: the lobby's table texts use it too.
    const qint64 rest = cents % 100;
    if (rest == 0)
        return QStringLiteral("$%L1").arg(cents / 100);
    return QStringLiteral("$%L1").arg(double(cents) / 100.0, 0, 'f', 2);
}

QString formatDateTime(const QDateTime& dateTime)
{
    return QLocale::system().toString(dateTime.toLocalTime(), QLocale::ShortFormat);
}

QString formatTime(const QDateTime& dateTime)
{
    return QLocale::system().toString(dateTime.toLocalTime().time(), QLocale::ShortFormat);
}

QString formatDuration(int seconds)
{
    const int days = seconds / 86400;
    int rest = seconds - days * 86400;
    const int hours = rest / 3600;
    rest -= hours * 3600;
    const int minutes = rest / 60;
    const int secs = rest - minutes * 60;
    if (days > 0)
        return QCoreApplication::translate("MahjongApplication", "%Ln day(s)", "", days);
    if (hours > 0)
        return QCoreApplication::translate("MahjongApplication", "%Lnh", "", hours);
    if (minutes > 0)
        return QCoreApplication::translate("MahjongApplication", "%Ln min(s)", "", minutes);
    QString text = QCoreApplication::translate("MahjongApplication", "%Ln second(s)", "", secs);
    if (secs < 0) {
        // The translator fills in only counts of 0 and above.
        text.replace(QLatin1String("%Ln"), QLocale().toString(secs));
        text.replace(QLatin1String("%n"), QString::number(secs));
    }
    return text;
}

QString formatDurationBetween(const QDateTime& from, const QDateTime& to)
{
    return formatDuration(static_cast<int>(from.secsTo(to)));
}

QString truncateText(const QString& text, int n)
{
    if (text.size() <= n)
        return text;
    return text.left(n) + QLatin1String("...");
}

QString elideMiddle(const QString& text, int n)
{
    if (text.size() <= n)
        return text;
    const int len = static_cast<int>(text.size());
    const int half = len / 2;
    const int cut = (len - n + 3) / 2;
    return text.left(qMax(0, half - cut)) + QLatin1String("...") + text.mid(half + cut);
}

QString elideText(const QFontMetrics& metrics, const QString& text, Qt::TextElideMode mode, int maxWidth)
{
    if (textWidth(metrics, text) <= maxWidth || text.size() < 2)
        return text;

    QString ellipsis = QCoreApplication::translate("Utils", "...", "the ellipsis character");
    for (const QChar c : std::as_const(ellipsis)) {
        if (!metrics.inFont(c)) {
            qWarning("character in ellipsis text not in font");
            ellipsis = QStringLiteral("...");
            break;
        }
    }

    const int len = static_cast<int>(text.size());
    switch (mode) {
    case Qt::ElideLeft: {
        int i = len - 1;
        for (; i >= 0; --i) {
            if (textWidth(metrics, ellipsis + text.mid(i)) > maxWidth)
                break;
        }
        return ellipsis + text.mid(i + 1);
    }
    case Qt::ElideRight: {
        int k = 1;
        for (; k < len; ++k) {
            if (textWidth(metrics, text.left(k) + ellipsis) > maxWidth)
                break;
        }
        return text.left(k - 1) + ellipsis;
    }
    case Qt::ElideMiddle: {
        int k = 1;
        int tail = len - 1;
        for (; k < len && tail >= 0; ++k) {
            tail = len - k;
            if (textWidth(metrics, text.left(k) + ellipsis + text.mid(tail)) > maxWidth)
                break;
        }
        return text.left(k - 1) + ellipsis + text.mid(tail + 1);
    }
    default:
        return text;
    }
}

QString plainToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

QString notAvailableText()
{
    return QCoreApplication::translate("Utils", "N/A");
}

QString unknownText()
{
    return QCoreApplication::translate("Utils", "<unknown>");
}

QString undefinedText()
{
    return QCoreApplication::translate("Utils", "<undefined>");
}

Qt::CheckState settingsCheckState(QSettings& settings, const char* key, bool defaultValue)
{
    return settings.value(QLatin1String(key), defaultValue).toBool() ? Qt::Checked : Qt::Unchecked;
}

QString readTextFile(const QString& path)
{
    std::optional<QByteArray> bytes = ResourceFile::read(path, maxTextFileSize);
    if (!bytes)
        return QString();
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream stream(&buffer);
    return stream.readAll();
}

QMainWindow* findMainWindow()
{
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        if (auto* mw = qobject_cast<QMainWindow*>(w))
            return mw;
    }
    return nullptr;
}
