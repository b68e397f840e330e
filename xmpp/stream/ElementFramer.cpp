// Cutting the stream at the borders of its top-level elements, byte by
// byte, so that one element over the caps costs a few counters and not the
// stream: the reader never holds more than one element within the caps.
#include "ElementFramer.h"


#include <cstring>
#include <utility>

namespace xmpp {

namespace {

/// An element may hold one start tag or attribute for this many bytes of its
/// size cap. Rosters, room lists and search results hold far fewer; empty
/// elements and attributes packed tight cost the reader and the tree built
/// from it far more per byte than text does.
constexpr qsizetype BytesPerPart = 32;
/// Start tags of a larger answer outside its items (its payload's).
constexpr int MaxListMarkup = 16;

/// No attribute value that names a stanza or its sender is longer (a JID
/// is at most 3071 bytes).
constexpr qsizetype MaxNamingValue = 3072;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// An attribute value with its references resolved; what cannot be
/// resolved stays as written.
QString attributeValue(const char* from, const char* to)
{
    QString value = QString::fromUtf8(from, to - from);
    if (!value.contains(QLatin1Char('&')))
        return value;
    QString resolved;
    resolved.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype semicolon = value.at(i) == QLatin1Char('&') ? value.indexOf(QLatin1Char(';'), i) : -1;
        if (semicolon < 0) {
            resolved += value.at(i);
            continue;
        }
        const QStringView name = QStringView(value).mid(i + 1, semicolon - i - 1);
        static const char* const Named[][2] = {{"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
        QString replacement;
        for (const auto& entity : Named) {
            if (name == QLatin1String(entity[0]))
                replacement = QLatin1String(entity[1]);
        }
        if (replacement.isEmpty() && name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
            if (ok && code > 0 && code <= 0x10FFFF)
            {
                const char32_t character = code;
                replacement = QString::fromUcs4(&character, 1);
            }
        }
        if (replacement.isEmpty()) {
            resolved += value.at(i);
            continue;
        }
        resolved += replacement;
        i = semicolon;
    }
    return resolved;
}

/// Reads the name and the "id", "type" and "from" of the start tag at the
/// front of `tag`, as far as it goes.
void readStartTag(const QByteArray& tag, ElementFramer::Piece& piece)
{
    const char* p = tag.constData() + 1;
    const char* const end = tag.constData() + tag.size();
    const char* name = p;
    while (p < end && !isSpace(*p) && *p != '>' && *p != '/')
        ++p;
    piece.name = QString::fromUtf8(name, p - name);
    for (;;) {
        while (p < end && isSpace(*p))
            ++p;
        if (p == end || *p == '>' || *p == '/')
            return;
        const char* attribute = p;
        while (p < end && *p != '=' && !isSpace(*p))
            ++p;
        const QByteArray key(attribute, p - attribute);
        while (p < end && isSpace(*p))
            ++p;
        if (p == end || *p != '=')
            return;
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end || (*p != '\'' && *p != '"'))
            return;
        const char quote = *p++;
        const char* value = p;
        p = static_cast<const char*>(std::memchr(p, quote, size_t(end - p)));
        if (!p)
            return;
        if (p - value <= MaxNamingValue) {
            if (key == "id")
                piece.id = attributeValue(value, p);
            else if (key == "type")
                piece.type = attributeValue(value, p);
            else if (key == "from")
                piece.from = attributeValue(value, p);
        }
        ++p;
    }
}

} // namespace

ElementFramer::ElementFramer(const Caps& caps)
    : m_caps(caps)
    , m_inScope(size_t(caps.depth) + 2, 0)
{
}

void ElementFramer::describe(const QByteArray& element, Piece& piece)
{
    readStartTag(element, piece);
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
    m_attributes = 0;
    m_parts = 0;
    m_markupStart = 0;
    m_fedBefore = 0;
    m_broken = false;
    m_large.clear();
    m_list = false;
    m_listTag.clear();
    m_listReady.clear();
    m_utf8Need = 0;
    m_element.clear();
    m_ready.clear();
    m_pieces.clear();
}

void ElementFramer::allowLargerAnswer(const QString& id, const QStringList& senders, qsizetype size, qsizetype item)
{
    constexpr size_t MaxAllowances = 4;
    if (m_large.size() >= MaxAllowances)
        m_large.pop_front();
    m_large.push_back({id, senders, size, item});
}

void ElementFramer::withdrawLargerAnswer(const QString& id)
{
    std::erase_if(m_large, [&id](const Allowance& allowance) { return allowance.id == id; });
}

void ElementFramer::pushList(bool last)
{
    if (m_listReady.isEmpty() && !last)
        return;
    pushReady();
    Piece piece;
    piece.kind = Piece::ListPart;
    piece.last = last;
    piece.bytes = std::exchange(m_listReady, QByteArray());
    m_pieces.push_back(std::move(piece));
}

void ElementFramer::itemEnded(const char* after)
{
    flushTo(after);
    if (m_route == Route::Keep)
        m_listReady += std::exchange(m_element, QByteArray());
    m_route = Route::List;
    // Parts of about the size the reader is given at a time.
    if (m_listReady.size() >= 32 * 1024)
        pushList(false);
}

void ElementFramer::breakAt(const char* p, const char* reason, bool encoding)
{
    flushTo(p);
    m_element.clear();
    m_listReady.clear();
    pushReady();
    Piece piece;
    piece.kind = Piece::Broken;
    piece.reason = reason;
    piece.encoding = encoding;
    m_pieces.push_back(std::move(piece));
    m_broken = true;
}

qsizetype ElementFramer::validUtf8(const QByteArray& data)
{
    // RFC 3629: no overlong forms, no surrogates, nothing past U+10FFFF.
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const auto* const end = p + data.size();
    while (p < end) {
        if (m_utf8Need == 0) {
            // Markup and most text are ASCII: a word at a time.
            while (end - p >= 8) {
                quint64 word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ULL)
                    break;
                p += 8;
            }
            if (p == end)
                break;
            const unsigned char c = *p++;
            if (c < 0x80)
                continue;
            m_utf8Low = 0x80;
            m_utf8High = 0xBF;
            if (c >= 0xC2 && c <= 0xDF) {
                m_utf8Need = 1;
            } else if (c >= 0xE0 && c <= 0xEF) {
                m_utf8Need = 2;
                m_utf8Low = c == 0xE0 ? 0xA0 : 0x80;
                m_utf8High = c == 0xED ? 0x9F : 0xBF;
            } else if (c >= 0xF0 && c <= 0xF4) {
                m_utf8Need = 3;
                m_utf8Low = c == 0xF0 ? 0x90 : 0x80;
                m_utf8High = c == 0xF4 ? 0x8F : 0xBF;
            } else {
                return qsizetype(p - 1 - reinterpret_cast<const unsigned char*>(data.constData()));
            }
            continue;
        }
        const unsigned char c = *p;
        if (c < m_utf8Low || c > m_utf8High)
            return qsizetype(p - reinterpret_cast<const unsigned char*>(data.constData()));
        m_utf8Low = 0x80;
        m_utf8High = 0xBF;
        --m_utf8Need;
        ++p;
    }
    return data.size();
}

void ElementFramer::pushReady()
{
    if (m_ready.isEmpty())
        return;
    Piece piece;
    piece.bytes = std::exchange(m_ready, QByteArray());
    m_pieces.push_back(std::move(piece));
}

ElementFramer::Piece ElementFramer::takePiece()
{
    pushReady();
    if (m_pieces.empty())
        return Piece();
    Piece piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    return piece;
}

void ElementFramer::flushTo(const char* end)
{
    if (end > m_segment) {
        if (m_route == Route::Pass)
            m_ready.append(m_segment, end - m_segment);
        else if (m_route == Route::Keep)
            m_element.append(m_segment, end - m_segment);
        else if (m_route == Route::List)
            m_listReady.append(m_segment, end - m_segment);
    }
    m_segment = end;
}

void ElementFramer::route(Route next, const char* from)
{
    flushTo(from);
    if (m_route == Route::Keep && next == Route::Pass) {
        m_ready += m_element;
        m_element.clear();
    }
    if (next == Route::Keep) {
        m_parts = 0;
        m_maxSize = m_list ? m_listItemMax : m_caps.size;
        m_maxParts = m_maxSize / BytesPerPart;
    }
    m_route = next;
}

void ElementFramer::drop(const char* reason, const char* from)
{
    // The element's start tag names it and whom an answer came from, so a
    // request it answered can fail instead of waiting for ever.
    flushTo(from);
    Piece piece;
    piece.kind = Piece::Dropped;
    piece.reason = reason;
    if (m_list && m_route == Route::Keep) {
        // One item of a larger answer: the answer goes on without it.
        Piece tag;
        readStartTag(m_element, tag);
        piece.name = QStringLiteral("an item <%1> of a list").arg(tag.name);
        piece.item = true;
        pushList(false);
    } else if (m_list) {
        // The answer itself: what the reader has of it is left unfinished.
        readStartTag(m_listTag, piece);
        pushList(false);
        m_list = false;
    } else {
        readStartTag(m_element, piece);
        pushReady();
    }
    m_pieces.push_back(std::move(piece));
    m_element.clear();
    m_route = Route::Drop;
}

void ElementFramer::elementEnded(const char* after)
{
    flushTo(after);
    if (m_list) {
        m_list = false;
        pushList(true);
    } else if (m_route == Route::Keep) {
        // One piece per element: whatever the reader refuses inside it is
        // known to cost that element only.
        pushReady();
        Piece piece;
        piece.kind = Piece::Element;
        piece.bytes = std::exchange(m_element, QByteArray());
        m_pieces.push_back(std::move(piece));
    }
    m_route = Route::Pass;
}

void ElementFramer::topStartTagEnded(const char* after)
{
    flushTo(after);
    Piece tag;
    readStartTag(m_element, tag);
    if (tag.name != QLatin1String("iq") || tag.type != QLatin1String("result"))
        return;
    for (auto it = m_large.begin(); it != m_large.end(); ++it) {
        if (it->id != tag.id)
            continue;
        for (const QString& sender : std::as_const(it->senders)) {
            if (tag.from.compare(sender, Qt::CaseInsensitive) == 0) {
                // Handed on as it comes, an item at a time: the answer's
                // size costs no more than its items do.
                m_list = true;
                m_listParts = 0;
                m_listStart = m_markupStart;
                m_listMax = it->size;
                m_listItemMax = it->item;
                m_listTag = m_element;
                m_listReady = std::exchange(m_element, QByteArray());
                m_route = Route::List;
                m_large.erase(it);
                return;
            }
        }
    }
}

const char* ElementFramer::skipTo(char c, const char* p, const char* end)
{
    const void* found = std::memchr(p + 1, c, size_t(end - p - 1));
    return found ? static_cast<const char*>(found) - 1 : end - 1;
}

void ElementFramer::attributeNameByte(char c)
{
    // The name before a value ends at a space or its "=", and the next name
    // starts with the next byte that is neither.
    if (isSpace(c) || c == '=') {
        m_attributeNameEnded = true;
        return;
    }
    if (std::exchange(m_attributeNameEnded, false))
        m_attributeNameLength = 0;
    if (m_attributeNameLength < int(sizeof m_attributeName))
        m_attributeName[m_attributeNameLength++] = c;
}

void ElementFramer::valueOpened(const char* p)
{
    // Each value opened is one attribute or namespace declaration: the
    // reader's checks of them cost far more than their bytes, and every
    // prefix it meets is looked up among the declarations in scope.
    const bool declaration = m_attributeNameLength >= 5 && std::memcmp(m_attributeName, "xmlns", 5) == 0
                             && (m_attributeNameLength == 5 || m_attributeName[5] == ':');
    const int inScope = size_t(m_depth) < m_inScope.size() ? m_inScope[size_t(m_depth)] : 0;
    if (++m_attributes > m_caps.attributes)
        drop("with too many attributes in one start tag", p);
    else if (declaration && inScope + ++m_declarations > m_caps.namespaces)
        drop("with too many namespace declarations in scope", p);
    else if (++m_parts > m_maxParts)
        drop("with too many descendants", p);
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

bool ElementFramer::markupNeverEnds(qsizetype offset, const char* p)
{
    if (m_lex == Lex::Text || m_fedBefore + offset - m_markupStart <= m_caps.markup)
        return false;
    // An unclosed quote or tag swallows every stanza after it: the stream
    // cannot be read on.
    breakAt(p, "markup that never ends", false);
    return true;
}

void ElementFramer::feed(const QByteArray& data)
{
    static const char CData[] = "[CDATA[";
    if (m_broken)
        return;
    // Bytes that are no UTF-8 are a fault of the stream, which the reader
    // would take for an end it waits for: what comes before them is read.
    const qsizetype valid = validUtf8(data);
    if (valid < data.size()) {
        feed(data.left(valid));
        if (!m_broken) {
            m_segment = data.constData();
            breakAt(m_segment, "bytes that are no UTF-8", true);
        }
        return;
    }
    const char* p = data.constData();
    const char* const begin = p;
    const char* const end = p + data.size();
    m_segment = p;
    for (; p < end; ++p) {
        if (m_route == Route::Keep && m_element.size() + (p - m_segment) >= m_maxSize)
            drop("larger than the size cap", p);
        if (m_list && m_fedBefore + (p - begin) - m_listStart >= m_listMax)
            drop("larger than its allowance", p);
        if (m_lex != Lex::Text && m_fedBefore + (p - begin) - m_markupStart > m_caps.markup && markupNeverEnds(p - begin, p))
            return;
        const char c = *p;
        switch (m_lex) {
        case Lex::Text:
            if (c == '<') {
                m_lex = Lex::Open;
                m_markupStart = m_fedBefore + (p - begin);
                // Between elements, markup may open the next element; in a
                // larger answer, the next item.
                if (m_depth == 1 || (m_list && m_depth == 3 && m_route == Route::List))
                    route(Route::Keep, p);
            } else {
                const char* last = skipTo('<', p, end);
                // Text between elements (keep-alive whitespace), and around
                // the items of a larger answer, means nothing: it is not
                // handed on, however long it runs.
                if ((m_depth == 1 && m_route == Route::Pass) || m_route == Route::List) {
                    flushTo(p);
                    m_segment = last + 1;
                }
                p = last;
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
                m_attributes = 0;
                m_declarations = 0;
                m_attributeNameLength = 0;
                m_attributeNameEnded = false;
                attributeNameByte(c);
                if (m_route == Route::Keep && m_depth >= 2 && ++m_parts > m_maxParts)
                    drop("with too many descendants", p);
                // A list has its payload around its items, and little else.
                else if (m_route == Route::List && ++m_listParts > MaxListMarkup)
                    drop("with too much markup around its items", p);
                break;
            }
            // The stream's end tag and whatever else stands between elements
            // goes to the reader as it comes; so does the end of a larger
            // answer's payload.
            if (m_depth == 1)
                route(Route::Pass, p);
            else if (m_list && m_depth == 3 && m_route == Route::Keep)
                m_route = Route::List;
            break;
        case Lex::StartTag:
            // Most bytes of a tag outside its values are those of a name.
            if (m_quote == 0 && c != '\'' && c != '"' && c != '>') {
                attributeNameByte(c);
                m_prev = c;
                break;
            }
            if (m_quote != 0 && c != m_quote) {
                p = skipTo(m_quote, p, end);
                break;
            }
            if (m_quote == 0 && (c == '\'' || c == '"') && (m_route == Route::Keep || m_route == Route::List))
                valueOpened(p);
            if (quoted(c)) {
                m_attributeNameEnded = true;
            } else if (c != '>') {
                attributeNameByte(c);
            } else {
                m_lex = Lex::Text;
                if (m_prev == '/') {
                    if (m_depth == 1)
                        elementEnded(p + 1);
                    else if (m_list && m_depth == 3)
                        itemEnded(p + 1);
                } else if (++m_depth - 1 > m_caps.depth && (m_route == Route::Keep || m_route == Route::List)) {
                    drop("nested deeper than the depth cap", p + 1);
                } else if (m_depth == 1) {
                    // The stream header ends a piece: the reader can be
                    // given it again to read on after an element it refused.
                    flushTo(p + 1);
                    pushReady();
                } else if (m_route == Route::Keep || m_route == Route::List) {
                    if (size_t(m_depth) < m_inScope.size())
                        m_inScope[size_t(m_depth)] = m_inScope[size_t(m_depth) - 1] + m_declarations;
                    if (m_depth == 2 && !m_large.empty() && !m_list)
                        topStartTagEnded(p + 1);
                }
            }
            m_prev = c;
            break;
        case Lex::EndTag:
            if (c != '>') {
                p = skipTo('>', p, end);
            } else {
                m_lex = Lex::Text;
                if (m_depth > 0 && --m_depth == 1)
                    elementEnded(p + 1);
                else if (m_list && m_depth == 3)
                    itemEnded(p + 1);
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
    if (markupNeverEnds(data.size(), end))
        return;
    flushTo(end);
    m_fedBefore += data.size();
    // The items that came are read while the rest is on its way.
    if (m_list)
        pushList(false);
}

} // namespace xmpp
