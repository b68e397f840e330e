// A room's lines laid out on the pane a slice at a time.
#include "PacedChatLines.h"

#include "ChatOutputWidget.h"

PacedChatLines::PacedChatLines(ChatOutputWidget* pane)
    : QObject(pane)
    , m_pane(pane)
{
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, &PacedChatLines::slice);
}

void PacedChatLines::appendMessage(const QDateTime& time, const QString& nick, const QString& text)
{
    add({time, nick, text, -1, true});
}

void PacedChatLines::appendInfo(const QDateTime& time, const QString& html, int tag)
{
    add({time, QString(), html, tag, false});
}

void PacedChatLines::rewriteInfo(int tag, const QString& html)
{
    for (auto line = m_waiting.rbegin(); line != m_waiting.rend(); ++line) {
        if (!line->chat && line->tag == tag) {
            line->text = html;
            return;
        }
    }
    m_pane->rewriteInfo(tag, html);
}

void PacedChatLines::add(Line line)
{
    if (m_waiting.empty()) {
        if (!m_turnOpen) {
            m_turnOpen = true;
            m_turn.start();
            m_next.start();
        }
        if (m_turn.elapsed() < SliceMs) {
            show(line);
            return;
        }
    }
    m_waiting.push_back(std::move(line));
    if (m_waiting.size() > size_t(ChatOutputWidget::MaxLines))
        m_waiting.pop_front();
    if (!m_next.isActive())
        m_next.start();
}

void PacedChatLines::show(const Line& line)
{
    if (line.chat)
        m_pane->appendMessage(line.time, line.nick, line.text);
    else if (line.tag >= 0)
        m_pane->appendInfo(line.time, line.text, line.tag);
    else
        m_pane->appendInfo(line.time, line.text);
}

void PacedChatLines::slice()
{
    m_turnOpen = false;
    if (m_waiting.empty())
        return;
    QElapsedTimer clock;
    clock.start();
    // Dropping the oldest paragraphs makes the layout go over the rest: once
    // for the whole slice, not once per chunk of lines.
    m_pane->holdTrim(true);
    do {
        show(m_waiting.front());
        m_waiting.pop_front();
    } while (!m_waiting.empty() && clock.elapsed() < SliceMs);
    m_pane->holdTrim(false);
    if (!m_waiting.empty())
        m_next.start();
}
