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
#include <QScreen>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <limits>

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
    // Whole numbers throughout: a double holds cents exactly only up to 2^53.
    const QLocale locale;
    const quint64 magnitude = cents < 0 ? 0 - quint64(cents) : quint64(cents);
    QString text = QStringLiteral("$");
    if (cents < 0)
        text += locale.negativeSign();
    text += locale.toString(magnitude / 100);
    const quint64 rest = magnitude % 100;
    if (rest != 0) {
        text += locale.decimalPoint();
        if (rest < 10)
            text += locale.zeroDigit();
        text += locale.toString(rest);
    }
    return text;
}

QString formatDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return unknownText();
    return QLocale::system().toString(dateTime.toLocalTime(), QLocale::ShortFormat);
}

QString formatTime(const QDateTime& dateTime)
{
    return QLocale::system().toString(dateTime.toLocalTime().time(), QLocale::ShortFormat);
}

bool isLengthKnown(qint64 seconds)
{
    // Below zero an end lies before its start; beyond the reach the count
    // is one that means none (the largest one, a negative one read unsigned).
    return seconds >= 0 && seconds <= maxShownSeconds;
}

QString formatDuration(int seconds)
{
    if (!isLengthKnown(seconds))
        return unknownText();
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
    return QCoreApplication::translate("MahjongApplication", "%Ln second(s)", "", secs);
}

QString formatDurationBetween(const QDateTime& from, const QDateTime& to)
{
    const qint64 seconds = from.secsTo(to);
    if (!from.isValid() || !to.isValid() || seconds > std::numeric_limits<int>::max())
        return unknownText();
    return formatDuration(static_cast<int>(std::max<qint64>(seconds, -1)));
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

namespace {

/// Lines no longer than this fit any screen in the tool tip's font as they are.
constexpr qsizetype shortLine = 48;

/// The text with each long line broken into lines that fit three quarters of
/// the primary screen's width in the tool tip's font, at word boundaries
/// where it can, else anywhere.
QString fittedLines(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const bool allShort = std::all_of(lines.begin(), lines.end(),
                                      [](const QString& line) { return line.size() <= shortLine; });
    if (allShort)
        return text;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal width = screen != nullptr ? screen->availableGeometry().width() * 0.75 : 600.0;
    QStringList fitted;
    for (const QString& line : lines) {
        if (line.size() <= shortLine) {
            fitted << line;
            continue;
        }
        QTextLayout layout(line, QToolTip::font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(width);
            fitted << line.mid(row.textStart(), row.textLength());
        }
        layout.endLayout();
    }
    return fitted.join(QLatin1Char('\n'));
}

} // namespace

QString plainToolTip(const QString& text)
{
    const QString fitted = fittedLines(text);
    return Qt::mightBeRichText(fitted) ? Qt::convertFromPlainText(fitted) : fitted;
}

QString richToolTip(const QString& text)
{
    return Qt::convertFromPlainText(fittedLines(text));
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

bool isLatin1Text(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xff; });
}

bool settingsSwitch(const QSettings& settings, const char* key, bool defaultValue)
{
    // The file holds "true" or "false"; anything else (an empty value, a
    // word, a list, a number other than 0 or 1) is damage, not a choice.
    const QVariant value = settings.value(QLatin1String(key));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::Int
        || value.typeId() == QMetaType::LongLong) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            return false;
    }
    return defaultValue;
}

bool settingsSwitch(const char* key, bool defaultValue)
{
    return settingsSwitch(QSettings(), key, defaultValue);
}

Qt::CheckState settingsCheckState(QSettings& settings, const char* key, bool defaultValue)
{
    return settingsSwitch(settings, key, defaultValue) ? Qt::Checked : Qt::Unchecked;
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
