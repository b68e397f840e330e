#pragma once

#include <QByteArray>

namespace xmpp {

/// Stands in front of the XML reader and cuts the stream's bytes at the
/// borders of its top-level elements, so that the reader only ever sees
/// whole elements within the caps. An element that grows past the size cap,
/// or nests past the depth cap, is dropped on the spot: its bytes are not
/// kept, only its nesting is followed (a few counters) until its end tag,
/// and reading goes on after it. What stands outside the elements (the
/// stream header and its end, whitespace) passes as it comes.
///
/// It only follows the shape of the markup (tags, quoted attribute values,
/// comments, CDATA, declarations); whether the bytes are well-formed XML is
/// left to the reader.
class ElementFramer
{
public:
    ElementFramer(qsizetype maxElementSize, int maxElementDepth);

    /// Takes the next bytes of the stream.
    void feed(const QByteArray& data);
    /// What the reader may read now; empties it.
    QByteArray takeReady();
    /// Back to the start of a stream; bytes held are forgotten.
    void reset();

private:
    enum class Lex { Text, Open, StartTag, EndTag, Bang, Comment, CData, Declaration, Pi };
    enum class Route { Pass, Keep, Drop };

    void flushTo(const char* end);
    void route(Route next, const char* from);
    void elementEnded(const char* after);
    /// Follows quoted values: true while `c` belongs to one, its quotes too.
    bool quoted(char c);
    /// The byte before the next `c` after `p` (text and values hold no
    /// markup), or the last byte of the batch.
    static const char* skipTo(char c, const char* p, const char* end);

    const qsizetype m_maxSize;
    const int m_maxDepth;

    Lex m_lex = Lex::Text;
    Route m_route = Route::Pass;
    /// 0 before the stream header, 1 between top-level elements, 2 and up
    /// inside one.
    int m_depth = 0;
    /// Inside a quoted attribute value or declaration literal: its quote.
    char m_quote = 0;
    /// The byte before this one inside the current markup ("/>", "-->",
    /// "]]>", "?>" are told by it and the one before it).
    char m_prev = 0;
    char m_prev2 = 0;
    /// Bytes after "<!" so far, to tell a comment from CDATA and declarations.
    int m_bangLength = 0;
    /// Open brackets of a declaration's internal subset.
    int m_brackets = 0;
    /// Why the element being dropped is dropped, for the log.
    const char* m_dropReason = nullptr;

    /// Where the bytes not yet routed start, in the batch being fed.
    const char* m_segment = nullptr;
    QByteArray m_element;
    QByteArray m_ready;
};

} // namespace xmpp
