#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace xmpp {

/// Stands in front of the XML reader and cuts the stream's bytes at the
/// borders of its top-level elements, so that the reader only ever sees
/// whole elements within the caps, each as a piece of its own. An element
/// that grows past the size cap, nests past the depth cap, carries more
/// attributes in one start tag than the attribute cap, has more namespace
/// declarations in scope than the namespace cap or more descendants and
/// attributes in all than its share of the size cap allows is dropped on
/// the spot: its bytes are not kept, only its nesting is followed (a few
/// counters) until its end tag, and reading goes on after it. The stream's
/// own markup (the header, which ends a piece, and the stream's end) passes
/// as it comes; text between top-level elements is skipped.
///
/// An answer allowed to be larger (a long list: the roster, a room list) is
/// handed on as it arrives, in ListPart pieces, each holding whole items
/// (the children of its payload) and the markup around them: every item is
/// held to the item cap alone and one over it is dropped by itself, while
/// the answer as a whole is bounded only by its allowance.
///
/// It only follows the shape of the markup (tags, quoted attribute values,
/// comments, CDATA, declarations); whether the bytes are well-formed XML is
/// left to the reader, but not whether they are UTF-8: bytes that are not
/// end the framing with a Broken piece. So does one piece of markup (a
/// start tag with its values, a comment, CDATA) longer than the markup cap,
/// which never ends in any stream a server writes.
class ElementFramer
{
public:
    struct Caps
    {
        qsizetype size = 0;
        int depth = 0;
        /// Attributes (namespace declarations included) of one start tag.
        int attributes = 0;
        /// Namespace declarations in scope at once, over every level of one
        /// element.
        int namespaces = 0;
        /// One piece of markup, however it is routed.
        qsizetype markup = 0;
    };

    /// What the framer hands on, in stream order.
    struct Piece
    {
        enum Kind { Bytes, Element, Dropped, Broken, ListPart };
        Kind kind = Bytes;
        /// Bytes: the stream's own markup, for the reader. Element: one
        /// whole top-level element within the caps. ListPart: the next
        /// bytes of a larger answer, ending after a whole item or markup.
        QByteArray bytes;
        /// ListPart: the answer ends with this piece. Dropped: what was
        /// dropped is one item of a larger answer, which goes on.
        bool last = false;
        bool item = false;
        /// Broken: the bytes are no UTF-8 (else markup that never ends).
        bool encoding = false;
        /// Dropped: the element's name and its "id", "type" and "from", as
        /// far as its start tag was read before it was dropped (values with
        /// their references resolved). Broken: the name is empty.
        QString name;
        QString id;
        QString type;
        QString from;
        /// Dropped and Broken: why, for the log.
        const char* reason = nullptr;
    };

    explicit ElementFramer(const Caps& caps);

    /// Takes the next bytes of the stream.
    void feed(const QByteArray& data);
    /// Whether the bytes fed so far end inside a top-level element.
    bool inElement() const { return m_list || m_depth >= 2; }
    /// Whether a piece is waiting.
    bool hasPiece() const { return !m_pieces.empty() || !m_ready.isEmpty(); }
    /// The next piece; an empty Bytes piece when none waits.
    Piece takePiece();
    /// Fills `piece`'s name, id, type and from out of the start tag at the
    /// front of `element`, as far as it goes.
    static void describe(const QByteArray& element, Piece& piece);
    /// Back to the start of a stream; bytes held and allowances are forgotten.
    void reset();
    /// The next iq answer with this id, of type "result" and from one of
    /// `senders` (an empty sender: no "from" at all; compared without regard
    /// to case), may be up to `size` bytes, each of its items up to `item`,
    /// and is handed on in ListParts. One answer, once; a few requests may
    /// wait for theirs at a time, the oldest allowance goes first.
    void allowLargerAnswer(const QString& id, const QStringList& senders, qsizetype size, qsizetype item);
    /// Takes back the allowance for this id, if it is still unused.
    void withdrawLargerAnswer(const QString& id);

private:
    enum class Lex { Text, Open, StartTag, EndTag, Bang, Comment, CData, Declaration, Pi };
    /// Keep: bytes of the element (or the item of a larger answer) held
    /// until it ends; List: markup of a larger answer around its items.
    enum class Route { Pass, Keep, Drop, List };

    void flushTo(const char* end);
    void route(Route next, const char* from);
    void drop(const char* reason, const char* from);
    void elementEnded(const char* after);
    /// An item of the larger answer ended at `after`: kept, it joins the
    /// next ListPart; dropped, it is forgotten.
    void itemEnded(const char* after);
    /// Hands on the markup and items of the larger answer gathered so far.
    void pushList(bool last);
    /// Ends the framing at `p` with a Broken piece.
    void breakAt(const char* p, const char* reason, bool encoding);
    void topStartTagEnded(const char* after);
    /// Follows the names of a start tag's attributes, from `c` outside values.
    void attributeNameByte(char c);
    /// Counts a value opened in a start tag of the element kept; drops the
    /// element at `p` when a cap is passed.
    void valueOpened(const char* p);
    /// Follows quoted values: true while `c` belongs to one, its quotes too.
    bool quoted(char c);
    /// The byte before the next `c` after `p` (text and values hold no
    /// markup), or the last byte of the batch.
    static const char* skipTo(char c, const char* p, const char* end);
    void pushReady();
    /// Ends the framing with a Broken piece when the markup open at `p`
    /// (`offset` bytes into the batch) is past the markup cap.
    bool markupNeverEnds(qsizetype offset, const char* p);

    const Caps m_caps;

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
    /// Attribute values opened in the current start tag, and how many of
    /// them declare a namespace.
    int m_attributes = 0;
    int m_declarations = 0;
    /// The start of the current attribute's name ("xmlns" and one byte
    /// more tell a declaration), and its length so far.
    char m_attributeName[6] = {};
    int m_attributeNameLength = 0;
    bool m_attributeNameEnded = false;
    /// Namespace declarations in scope at each level of the element kept.
    std::vector<int> m_inScope;
    /// Start tags and attributes inside the element being kept, and how many
    /// it may hold; its size cap.
    qsizetype m_parts = 0;
    qsizetype m_maxParts = 0;
    qsizetype m_maxSize = 0;
    /// Where the current markup began, counted in the stream's bytes, and
    /// the stream's bytes before the batch being fed.
    qint64 m_markupStart = 0;
    qint64 m_fedBefore = 0;
    bool m_broken = false;

    struct Allowance
    {
        QString id;
        QStringList senders;
        qsizetype size = 0;
        qsizetype item = 0;
    };
    std::deque<Allowance> m_large;

    /// Inside the larger answer allowed: its start in the stream's bytes,
    /// its allowance, its start tag (naming it when it is dropped whole)
    /// and its whole items and markup not handed on yet.
    bool m_list = false;
    int m_listParts = 0;
    qint64 m_listStart = 0;
    qsizetype m_listMax = 0;
    qsizetype m_listItemMax = 0;
    QByteArray m_listTag;
    QByteArray m_listReady;
    /// Follows the bytes as UTF-8 across batches: continuation bytes still
    /// owed, and the range the next one must lie in.
    int m_utf8Need = 0;
    unsigned char m_utf8Low = 0x80;
    unsigned char m_utf8High = 0xBF;
    /// The length of the prefix of `data` that is UTF-8 so far; the whole
    /// size when all of it is.
    qsizetype validUtf8(const QByteArray& data);

    /// Where the bytes not yet routed start, in the batch being fed.
    const char* m_segment = nullptr;
    QByteArray m_element;
    QByteArray m_ready;
    std::deque<Piece> m_pieces;
};

} // namespace xmpp
