#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class ChatOutputWidget;

/// Writes a room's lines to its pane a bounded time per turn of the event
/// loop. Lines go to the pane at once until those of the current turn have
/// taken SliceMs; later ones wait, in order, and go out SliceMs' worth per
/// turn, the oldest lines of a full pane dropped once per turn. A burst of
/// any size so never holds the window, and what waits is bounded by what
/// the pane keeps: older lines would drop off its top anyway.
class PacedChatLines : public QObject
{
    Q_OBJECT

public:
    /// Milliseconds of writing to the pane per turn.
    static constexpr int SliceMs = 8;

    /// Writes to `pane`, whose child it becomes.
    explicit PacedChatLines(ChatOutputWidget* pane);

    /// As ChatOutputWidget::appendMessage, in turn with the lines before.
    void appendMessage(const QDateTime& time, const QString& nick, const QString& text);
    /// As ChatOutputWidget::appendInfo, with a tag of 0 or more when given.
    void appendInfo(const QDateTime& time, const QString& html, int tag = -1);
    /// As ChatOutputWidget::rewriteInfo: the newest line of `tag`, waiting or shown.
    void rewriteInfo(int tag, const QString& html);
    /// Lines not yet on the pane.
    qsizetype waiting() const { return qsizetype(m_waiting.size()); }

private:
    struct Line
    {
        QDateTime time;
        QString nick;
        /// The chat text, or an information line's HTML.
        QString text;
        int tag = -1;
        bool chat = false;
    };
    void add(Line line);
    void show(const Line& line);
    /// One turn's share of the waiting lines.
    void slice();

    ChatOutputWidget* m_pane;
    std::deque<Line> m_waiting;
    /// Time spent on the pane in the current turn.
    QElapsedTimer m_turn;
    bool m_turnOpen = false;
    /// Fires in the next turn: it ends the current one and writes what waits.
    QTimer m_next;
};
