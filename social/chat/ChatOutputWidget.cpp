// The chat pane: HTML lines with coloured parts, date lines, the name links
// and the bounded history.
#include "ChatOutputWidget.h"

#include "SocialLog.h"
#include "Utils.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QScrollBar>
#include <QUrl>

namespace {

const QString UserScheme = QStringLiteral("user:");

QString colouredText(const QString& text, const QColor& colour)
{
    QString html = QStringLiteral("<font");
    if (colour.isValid())
        html += QStringLiteral(" color=\"") + colour.name() + QLatin1Char('"');
    return html + QLatin1Char('>') + text + QStringLiteral("</font>");
}

QString colouredLink(const QString& url, const QString& text, const QColor& colour)
{
    QString html = QStringLiteral("<a href=\"") + url;
    if (colour.isValid())
        html += QStringLiteral("\" style=\"color: ") + colour.name();
    return html + QStringLiteral("\">") + text + QStringLiteral("</a>");
}

}

ChatOutputWidget::ChatOutputWidget(QWidget* parent)
    : QTextBrowser(parent)
    , m_timeColor(QStringLiteral("yellow"))
    , m_nickColor(QStringLiteral("yellow"))
    , m_chatMessageColor(QStringLiteral("white"))
    , m_systemMessageColor(206, 182, 147)
    , m_dateSeparatorColor(152, 125, 96)
{
    setReadOnly(true);
    setOpenLinks(false);
    document()->setMaximumBlockCount(MaxLines);
    connect(this, &QTextBrowser::anchorClicked, this, &ChatOutputWidget::onAnchorClicked);
}

ChatOutputWidget::~ChatOutputWidget() = default;

QString ChatOutputWidget::userLink(const QString& nick)
{
    // Everything but letters, digits and "-._~" is encoded, so the link is
    // plain ASCII that neither the HTML attribute nor the URL parser alters.
    return UserScheme + QString::fromLatin1(QUrl::toPercentEncoding(nick));
}

QString ChatOutputWidget::nickFromLink(const QString& link)
{
    if (!link.startsWith(UserScheme))
        return QString();
    return QUrl::fromPercentEncoding(link.mid(UserScheme.size()).toLatin1());
}

void ChatOutputWidget::appendMessage(const QDateTime& time, const QString& nick, const QString& text)
{
    dateLine(time);
    const QString stamp = colouredText(tr("(%1)").arg(formatTime(time)), m_timeColor);
    const QString name = colouredLink(userLink(nick), nick.toHtmlEscaped(), m_nickColor);
    const QString body = colouredText(text.toHtmlEscaped(), m_chatMessageColor);
    // One multi-argument fill, so a "%1" inside a nick or a text stays text.
    appendLine(tr("%1 %2: %3").arg(stamp, name, body));
}

void ChatOutputWidget::appendInfo(const QDateTime& time, const QString& html)
{
    dateLine(time);
    appendLine(colouredText(html, m_systemMessageColor));
}

void ChatOutputWidget::dateLine(const QDateTime& time)
{
    if (!m_lastDateLine.isNull() && time.date() <= m_lastDateLine.date())
        return;
    append(colouredText(formatDateTime(time).toHtmlEscaped(), m_dateSeparatorColor));
    m_lastDateLine = time;
}

void ChatOutputWidget::appendLine(const QString& html)
{
    append(html);
    QScrollBar* bar = verticalScrollBar();
    if (!bar->isSliderDown())
        bar->setValue(bar->maximum());
}

void ChatOutputWidget::onAnchorClicked(const QUrl& url)
{
    qCDebug(lcSocial) << "Anchor clicked, url:" << url;
    const QString nick = nickFromLink(url.toString(QUrl::FullyEncoded));
    if (!nick.isNull())
        Q_EMIT userMenuRequested(nick, QCursor::pos());
}

void ChatOutputWidget::contextMenuEvent(QContextMenuEvent* event)
{
    const QString nick = nickFromLink(anchorAt(event->pos()));
    if (!nick.isNull()) {
        Q_EMIT userMenuRequested(nick, event->globalPos());
        return;
    }
    QTextBrowser::contextMenuEvent(event);
}
