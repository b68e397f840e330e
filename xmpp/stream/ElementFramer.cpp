// Cutting the stream at the borders of its top-level elements, byte by
// byte, so that one element over the caps costs a few counters and not the
// stream: the reader never holds more than one element within the caps.
#include "ElementFramer.h"

#include "XmppLog.h"

#include <cstring>
#include <utility>

namespace xmpp {

ElementFramer::ElementFramer(qsizetype maxElementSize, int maxElementDepth)
    : m_maxSize(maxElementSize)
    , m_maxDepth(maxElementDepth)
{
}

void ElementFramer::reset()
{
    m_lex = Lex::Text;
    m_route = Route::Pass;
    m_depth = 0;
    m_quote = 0;
    m_prev = m_prev2 = 0;
    m_bangLength = 0;
    m_brackets = 0;
    m_dropReason = nullptr;
    m_element.clear();
    m_ready.clear();
}

QByteArray ElementFramer::takeReady()
{
    return std::exchange(m_ready, QByteArray());
}

void ElementFramer::flushTo(const char* end)
{
    if (end > m_segment) {
        if (m_route == Route::Pass)
            m_ready.append(m_segment, end - m_segment);
        else if (m_route == Route::Keep)
            m_element.append(m_segment, end - m_segment);
    }
    m_segment = end;
}

void ElementFramer::route(Route next, const char* from)
{
    if (m_route == Route::Keep && next == Route::Drop) {
        m_element.clear();
        m_segment = from;
    } else {
        flushTo(from);
    }
    if (m_route == Route::Keep && next == Route::Pass) {
        m_ready += m_element;
        m_element.clear();
    }
    m_route = next;
}

void ElementFramer::elementEnded(const char* after)
{
    if (m_route == Route::Drop) {
        qCWarning(lcXmpp) << "dropped an element" << m_dropReason;
        m_segment = after;
    }
    route(Route::Pass, after);
}

const char* ElementFramer::skipTo(char c, const char* p, const char* end)
{
    const void* found = std::memchr(p + 1, c, size_t(end - p - 1));
    return found ? static_cast<const char*>(found) - 1 : end - 1;
}

bool ElementFramer::quoted(char c)
{
    if (m_quote != 0) {
        if (c == m_quote)
            m_quote = 0;
        return true;
    }
    if (c == '\'' || c == '"') {
        m_quote = c;
        return true;
    }
    return false;
}

void ElementFramer::feed(const QByteArray& data)
{
    static const char CData[] = "[CDATA[";
    const char* p = data.constData();
    const char* const end = p + data.size();
    m_segment = p;
    for (; p < end; ++p) {
        if (m_route == Route::Keep && m_element.size() + (p - m_segment) >= m_maxSize) {
            m_dropReason = "larger than the size cap";
            route(Route::Drop, p);
        }
        const char c = *p;
        switch (m_lex) {
        case Lex::Text:
            if (c == '<') {
                m_lex = Lex::Open;
                // Between elements, markup may open the next element.
                if (m_depth == 1)
                    route(Route::Keep, p);
            } else {
                p = skipTo('<', p, end);
            }
            break;
        case Lex::Open:
            m_prev = m_prev2 = 0;
            if (c == '/') {
                m_lex = Lex::EndTag;
            } else if (c == '!') {
                m_lex = Lex::Bang;
                m_bangLength = 0;
            } else if (c == '?') {
                m_lex = Lex::Pi;
            } else {
                m_lex = Lex::StartTag;
                m_quote = 0;
                m_prev = c;
                break;
            }
            // The stream's end tag and whatever else stands between elements
            // goes to the reader as it comes.
            if (m_depth == 1)
                route(Route::Pass, p);
            break;
        case Lex::StartTag:
            if (m_quote != 0 && c != m_quote) {
                p = skipTo(m_quote, p, end);
                break;
            }
            if (!quoted(c) && c == '>') {
                m_lex = Lex::Text;
                if (m_prev == '/') {
                    if (m_depth == 1)
                        elementEnded(p + 1);
                } else if (++m_depth - 1 > m_maxDepth && m_route == Route::Keep) {
                    m_dropReason = "nested deeper than the depth cap";
                    route(Route::Drop, p + 1);
                }
            }
            m_prev = c;
            break;
        case Lex::EndTag:
            if (c == '>') {
                m_lex = Lex::Text;
                if (m_depth > 0 && --m_depth == 1)
                    elementEnded(p + 1);
            }
            break;
        case Lex::Bang: {
            // The first byte tells a comment ("<!--") from CDATA ("<![CDATA[");
            // anything else is a declaration, which the reader refuses.
            if (m_bangLength == 0 && (c == '-' || c == '['))
                m_prev = c;
            const char* expected = m_prev == '-' ? "--" : m_prev == '[' ? CData : "";
            const int length = int(std::strlen(expected));
            if (m_bangLength < length && c == expected[m_bangLength]) {
                if (++m_bangLength == length) {
                    m_lex = m_prev == '-' ? Lex::Comment : Lex::CData;
                    m_prev = 0;
                }
                break;
            }
            m_lex = Lex::Declaration;
            m_quote = 0;
            m_brackets = 0;
        }
            [[fallthrough]];
        case Lex::Declaration:
            if (quoted(c))
                break;
            if (c == '[')
                ++m_brackets;
            else if (c == ']')
                --m_brackets;
            else if (c == '>' && m_brackets <= 0)
                m_lex = Lex::Text;
            break;
        case Lex::Comment:
        case Lex::CData:
        case Lex::Pi: {
            const char close = m_lex == Lex::Comment ? '-' : m_lex == Lex::CData ? ']' : '?';
            const bool closed = m_lex == Lex::Pi ? m_prev == close : m_prev == close && m_prev2 == close;
            if (c == '>' && closed)
                m_lex = Lex::Text;
            m_prev2 = m_prev;
            m_prev = c;
            break;
        }
        }
    }
    flushTo(end);
}

} // namespace xmpp
