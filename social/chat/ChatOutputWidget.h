#pragma once

#include "BoundedText.h"

#include <QColor>
#include <QDateTime>
#include <QTextBrowser>

#include <array>

class QUrl;

/// The read-only pane of a chat room: one paragraph per chat line or
/// information line, a date line whenever the calendar day advances, the
/// view kept at the newest line unless the user holds the scroll bar, and
/// the sender's name as a link that asks for the user menu of that player.
/// It keeps the newest MaxLines paragraphs at least; older ones drop off the
/// top, TrimChunk at a time, so it never holds MaxLines + TrimChunk.
///
/// Chat texts and nicks are escaped and shown as sent (runs of spaces and
/// line breaks kept, a tab no wider than a wide character), each bounded by
/// shownText(), and every line cut at the rows that MaxTextLength wide
/// characters take at the width of its rows, so that any line shows in
/// bounded time and space; information lines are
/// HTML and the caller escapes whatever of them comes from other users,
/// bounded by shownText() as well.
class ChatOutputWidget : public QTextBrowser
{
    Q_OBJECT
    Q_PROPERTY(QColor timeColor READ timeColor WRITE setTimeColor DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor nickColor READ nickColor WRITE setNickColor DESIGNABLE true SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor chatMessageColor READ chatMessageColor WRITE setChatMessageColor DESIGNABLE true
                   SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor systemMessageColor READ systemMessageColor WRITE setSystemMessageColor DESIGNABLE true
                   SCRIPTABLE true STORED true)
    Q_PROPERTY(QColor dateSeparatorColor READ dateSeparatorColor WRITE setDateSeparatorColor DESIGNABLE true
                   SCRIPTABLE true STORED true)

public:
    /// Paragraphs kept (chat, information and date lines together).
    static constexpr int MaxLines = 1000;
    /// How many paragraphs beyond MaxLines wait before the oldest go together.
    static constexpr int TrimChunk = 100;
    /// Characters of a chat text shown; the rest is left out, marked by
    /// ElisionMark. Characters that cost the layout more count more (see
    /// shownText()).
    static constexpr qsizetype MaxTextLength = xmpp::text::MaxTextLength;
    /// Characters of a nick shown.
    static constexpr qsizetype MaxNickLength = 64;
    /// Rows a chat text may open with its line breaks; the text ends with
    /// the ElisionMark at the break that would open one more.
    static constexpr int MaxRows = xmpp::text::MaxRows;
    static constexpr QChar ElisionMark = xmpp::text::ElisionMark;

    explicit ChatOutputWidget(QWidget* parent = nullptr);
    ~ChatOutputWidget() override;

    /// One chat line: "(time) nick: text", the nick a link to its user menu
    /// (which carries the whole nick, however much of it is shown); its rows
    /// after the first (line breaks and wrapping) stand in under the nick.
    void appendMessage(const QDateTime& time, const QString& nick, const QString& text);
    /// A chat line of the own user on its way to the room: as
    /// appendMessage() does, greyed, tagged for removeLine().
    void appendPending(const QDateTime& time, const QString& nick, const QString& text, int tag);
    /// Takes out the newest line of `tag` (1 or more), while it is still in
    /// the pane; false when there is none.
    bool removeLine(int tag);
    /// One information line; `html` is inserted as it is, cut after
    /// MaxTextLength shown characters as shownHtml() does.
    void appendInfo(const QDateTime& time, const QString& html);
    /// An information line that rewriteInfo() with the same tag (0 or more)
    /// may write anew later.
    void appendInfo(const QDateTime& time, const QString& html, int tag);
    /// Writes the newest information line of `tag` anew, while it is still
    /// in the pane; the lines after it stay where they are.
    void rewriteInfo(int tag, const QString& html);

    /// Text another user wrote as it may be shown, in a pane or anywhere
    /// else: xmpp::boundedText at most MaxRows rows, its direction isolated
    /// from the words around it (isolatedDirection()).
    static QString shownText(const QString& text, qsizetype maxLength);
    /// The HTML whole up to maxLength shown characters (an entity counts
    /// one, a tag none), else cut before the next one, outside any tag or
    /// entity, and ended with the ElisionMark.
    static QString shownHtml(const QString& html, qsizetype maxLength);
    /// The link that carries a nick: the scheme "user:" and the nick
    /// percent-encoded, so that any nick survives the trip intact.
    static QString userLink(const QString& nick);
    /// The nick of a user link, or a null text when the link is not one.
    static QString nickFromLink(const QString& link);

    QColor timeColor() const { return m_timeColor; }
    void setTimeColor(const QColor& c) { m_timeColor = c; }
    QColor nickColor() const { return m_nickColor; }
    void setNickColor(const QColor& c) { m_nickColor = c; }
    QColor chatMessageColor() const { return m_chatMessageColor; }
    void setChatMessageColor(const QColor& c) { m_chatMessageColor = c; }
    QColor systemMessageColor() const { return m_systemMessageColor; }
    void setSystemMessageColor(const QColor& c) { m_systemMessageColor = c; }
    QColor dateSeparatorColor() const { return m_dateSeparatorColor; }
    void setDateSeparatorColor(const QColor& c) { m_dateSeparatorColor = c; }

Q_SIGNALS:
    /// The user clicked a player's name, or opened the context menu on it.
    void userMenuRequested(const QString& nick, const QPoint& pos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    /// The pane is one stop of Tab and Shift+Tab; inside it Up and Down walk
    /// the name links as a text browser does (scrolling past the last one),
    /// Return, Enter or Space opens the menu of the link reached, Escape
    /// lets go of it, and Ctrl+Tab goes on to what holds the pane.
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private Q_SLOTS:
    void onAnchorClicked(const QUrl& url);

private:
    /// A chat line in the inks of its time stamp, nick and text.
    void appendChatLine(const QDateTime& time, const QString& nick, const QString& text,
                        const std::array<QColor, 3>& inks);
    /// Writes a date line when `time` falls on a later day than the last one.
    void dateLine(const QDateTime& time);
    /// Appends a paragraph; with a hanging indent, its rows after the first
    /// stand in by that much.
    void appendLine(const QString& html, qreal hangingIndent = 0);
    /// Rows a line may take at the pane's current width less an indent:
    /// those of MaxTextLength wide (CJK) characters.
    int maxRowsAtWidth(qreal indent) const;
    /// The name link after (or before) the one reached, or from the top
    /// (or bottom) of what shows when none is; a null cursor when none.
    QTextCursor nextLink(bool down) const;

    QDateTime m_lastDateLine;
    QColor m_timeColor;
    QColor m_nickColor;
    QColor m_chatMessageColor;
    QColor m_systemMessageColor;
    QColor m_dateSeparatorColor;
};
