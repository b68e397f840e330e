// The chat pane: HTML lines with coloured parts, date lines, the name links
// and the bounded history.
#include "ChatOutputWidget.h"

#include "FontFallbacks.h"
#include "ProtocolValues.h"
#include "SocialLog.h"
#include "Utils.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QFontMetricsF>
#include <QTextBlock>
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

/// The text of a chat line as HTML that shows it as sent: escaped, runs of
/// spaces kept, a tab an em space, each line break (CR LF, CR, LF, the Unicode line
/// and paragraph separators) a break inside the one paragraph.
QString textAsHtml(QStringView text)
{
    QString html;
    html.reserve(text.size() + text.size() / 8 + 48);
    html += QStringLiteral("<span style=\"white-space: pre-wrap\">");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '<':
            html += QStringLiteral("&lt;");
            break;
        case '>':
            html += QStringLiteral("&gt;");
            break;
        case '&':
            html += QStringLiteral("&amp;");
            break;
        case '"':
            html += QStringLiteral("&quot;");
            break;
        case '\t':
            // An em space, as wide as a tab at the pane's stops may be: the
            // layout puts every tab in a run of its own, shaped on its own,
            // and a line of letters and tabs would cost as many runs.
            html += QChar(0x2003);
            break;
        case '\r':
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            html += QStringLiteral("<br />");
            break;
        case '\n':
        case 0x2028:
        case 0x2029:
            html += QStringLiteral("<br />");
            break;
        default:
            html += c;
        }
    }
    return html + QStringLiteral("</span>");
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
    // The history is bounded by trimChunk below; nothing is ever undone in
    // a read-only pane, and an undo stack would keep every line for ever.
    document()->setUndoRedoEnabled(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChatOutputWidget::onAnchorClicked);
    // Other users write in any script: the fonts that draw them are found
    // before the first such line (the room's history at login) needs them.
    FontFallbacks::prepareFor(this);
}

ChatOutputWidget::~ChatOutputWidget() = default;

QString ChatOutputWidget::shownText(const QString& text, qsizetype maxLength)
{
    return isolatedDirection(xmpp::boundedText(text, maxLength, MaxRows));
}

QString ChatOutputWidget::shownHtml(const QString& html, qsizetype maxLength)
{
    // Counts what shows: a tag nothing, an entity one character. The cut
    // falls between two shown characters, never inside a tag or an entity;
    // tags left open are closed by the rich-text reader.
    qsizetype shown = 0;
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const qsizetype end = html.indexOf(QLatin1Char('>'), i);
            if (end < 0)
                break;
            i = end;
            continue;
        }
        if (shown == maxLength)
            return html.left(i) + ElisionMark;
        if (c == QLatin1Char('&')) {
            const qsizetype end = html.indexOf(QLatin1Char(';'), i);
            if (end > i && end - i <= 32)
                i = end;
        } else if (c.isHighSurrogate() && i + 1 < html.size()) {
            ++i;
        }
        ++shown;
    }
    return html;
}

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
    appendChatLine(time, nick, text, {m_timeColor, m_nickColor, m_chatMessageColor});
}

void ChatOutputWidget::appendPending(const QDateTime& time, const QString& nick, const QString& text, int tag)
{
    // Greyed all over in the date lines' ink, which reads on every ground
    // the pane is given.
    const QColor grey = m_dateSeparatorColor;
    appendChatLine(time, nick, text, {grey, grey, grey});
    document()->lastBlock().setUserState(tag);
}

bool ChatOutputWidget::removeLine(int tag)
{
    for (QTextBlock block = document()->lastBlock(); block.isValid(); block = block.previous()) {
        if (block.userState() != tag)
            continue;
        // The paragraph goes with the break before it (after it, for the first).
        QTextCursor cursor(document());
        const QTextBlock before = block.previous();
        cursor.setPosition(before.isValid() ? block.position() - 1 : block.position());
        const QTextBlock after = block.next();
        const int afterState = after.isValid() ? after.userState() : -1;
        cursor.setPosition(before.isValid() || !after.isValid() ? block.position() + block.length() - 1 : after.position(),
                           QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (!before.isValid())
            document()->firstBlock().setUserState(afterState);
        return true;
    }
    return false;
}

void ChatOutputWidget::appendChatLine(const QDateTime& time, const QString& nick, const QString& text,
                                      const std::array<QColor, 3>& inks)
{
    dateLine(time);
    const QString stampText = tr("(%1)").arg(formatTime(time));
    const QString stamp = colouredText(stampText, inks[0]);
    // Other users choose the lengths: both are cut before they reach the
    // layout, whose cost grows much faster than the text.
    const QString name = colouredLink(userLink(nick), textAsHtml(shownText(nick, MaxNickLength)), inks[1]);
    const QString body = colouredText(textAsHtml(shownText(text, MaxTextLength)), inks[2]);
    // One multi-argument fill, so a "%1" inside a nick or a text stays text.
    // Every row after the first stands in under the sender's name, so that
    // no row of a line passes for a line or a notice of its own.
    const qreal indent = QFontMetricsF(document()->defaultFont()).horizontalAdvance(stampText + QLatin1Char(' '));
    appendLine(tr("%1 %2: %3").arg(stamp, name, body), indent);
}

void ChatOutputWidget::appendInfo(const QDateTime& time, const QString& html)
{
    dateLine(time);
    appendLine(colouredText(shownHtml(html, MaxTextLength), m_systemMessageColor));
}

void ChatOutputWidget::appendInfo(const QDateTime& time, const QString& html, int tag)
{
    appendInfo(time, html);
    document()->lastBlock().setUserState(tag);
}

void ChatOutputWidget::rewriteInfo(int tag, const QString& html)
{
    for (QTextBlock block = document()->lastBlock(); block.isValid(); block = block.previous()) {
        if (block.userState() != tag)
            continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertHtml(colouredText(shownHtml(html, MaxTextLength), m_systemMessageColor));
        return;
    }
}

void ChatOutputWidget::dateLine(const QDateTime& time)
{
    // Every line starts here. The colours come from the style sheet, which
    // reaches a widget when it is polished, normally just before it first
    // shows: a pane written to as soon as it is made (a table's first
    // notices) would keep the default colours in its first lines.
    ensurePolished();
    if (!m_lastDateLine.isNull() && time.date() <= m_lastDateLine.date())
        return;
    appendLine(colouredText(formatDateTime(time).toHtmlEscaped(), m_dateSeparatorColor));
    m_lastDateLine = time;
}

int ChatOutputWidget::maxRowsAtWidth(qreal indent) const
{
    const QTextDocument* doc = document();
    const qreal width = (doc->textWidth() > 0 ? doc->textWidth() : viewport()->width()) - 2 * doc->documentMargin() - indent;
    const qreal wide = QFontMetricsF(doc->defaultFont()).horizontalAdvance(QChar(0x6C34));
    const qsizetype perRow = qMax<qsizetype>(1, qsizetype(width / qMax<qreal>(1, wide)));
    return int((MaxTextLength + perRow - 1) / perRow);
}

void ChatOutputWidget::appendLine(const QString& html, qreal hangingIndent)
{
    QTextDocument* doc = document();
    // A tab takes no more than a wide character: with the default stops a
    // line of tabs would take rows by the tab stop, not by the character. A
    // capital M of the pane's font is as wide as one, near enough, and takes
    // no look-up of fallback fonts on this thread.
    QTextOption option = doc->defaultTextOption();
    const qreal wide = QFontMetricsF(doc->defaultFont()).horizontalAdvance(QLatin1Char('M'));
    if (option.tabStopDistance() != wide) {
        option.setTabStopDistance(wide);
        doc->setDefaultTextOption(option);
    }
    append(html);
    // A line's rows depend on what its characters take at this width: one
    // that takes more than the widest text may ends at the last row that
    // may show, with the elision mark.
    const QTextBlock block = doc->lastBlock();
    // A new paragraph takes the format of the one before: each sets its own.
    QTextBlockFormat format = block.blockFormat();
    if (format.leftMargin() != hangingIndent) {
        format.setLeftMargin(hangingIndent);
        format.setTextIndent(-hangingIndent);
        QTextCursor(block).setBlockFormat(format);
    }
    const QTextLayout* layout = block.layout();
    const int cap = maxRowsAtWidth(hangingIndent);
    for (int back = 1; back <= 4 && layout && layout->lineCount() > cap; ++back) {
        const QTextLine last = layout->lineAt(cap - 1);
        int cut = last.textStart() + last.textLength();
        for (int i = 0; i < back; ++i)
            cut = layout->previousCursorPosition(cut);
        QTextCursor cursor(doc);
        cursor.setPosition(block.position() + cut);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QString(ElisionMark));
    }
    // Every paragraph dropped from the top makes the layout go over all the
    // others again, which on a full pane costs more than the new line: the
    // oldest lines go a chunk at a time.
    if (doc->blockCount() >= MaxLines + TrimChunk) {
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, doc->blockCount() - MaxLines);
        cursor.removeSelectedText();
    }
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

QTextCursor ChatOutputWidget::nextLink(bool down) const
{
    const QTextCursor reached = textCursor();
    int from = 0;
    if (reached.hasSelection())
        from = down ? reached.selectionEnd() : reached.selectionStart();
    else
        from = cursorForPosition(down ? QPoint(0, 0) : QPoint(viewport()->width(), viewport()->height())).position();
    // Each name is one fragment of a link; the nearest one past `from` wins.
    int start = -1;
    int end = -1;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && start < 0;
         block = down ? block.next() : block.previous()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || nickFromLink(fragment.charFormat().anchorHref()).isNull())
                continue;
            const int first = fragment.position();
            const int last = first + fragment.length();
            if (down && first >= from) {
                start = first;
                end = last;
                break;
            }
            if (!down && last <= from) {
                start = first;
                end = last;
            }
        }
    }
    if (start < 0)
        return QTextCursor();
    QTextCursor link(document());
    link.setPosition(start);
    link.setPosition(end, QTextCursor::KeepAnchor);
    return link;
}

void ChatOutputWidget::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((mods & Qt::ControlModifier) && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        event->ignore();
        return;
    }
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (const QTextCursor link = nextLink(event->key() == Qt::Key_Down); !link.isNull()) {
                setTextCursor(link);
                ensureCursorVisible();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: {
            const QTextCursor link = textCursor();
            const QString nick = nickFromLink(link.charFormat().anchorHref());
            if (link.hasSelection() && !nick.isNull()) {
                const QRect at = cursorRect(link);
                Q_EMIT userMenuRequested(nick, viewport()->mapToGlobal(at.bottomLeft()));
                return;
            }
            break;
        }
        case Qt::Key_Escape:
            if (textCursor().hasSelection()) {
                QTextCursor none = textCursor();
                none.clearSelection();
                setTextCursor(none);
                return;
            }
            event->ignore();
            return;
        default:
            break;
        }
    }
    QTextBrowser::keyPressEvent(event);
}

bool ChatOutputWidget::focusNextPrevChild(bool next)
{
    // Past the browser's walk over the links: Tab leaves the pane.
    return QTextEdit::focusNextPrevChild(next);
}
