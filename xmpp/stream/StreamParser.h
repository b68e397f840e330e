#pragma once

#include "XMPPJid.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace xmpp {

class StreamElement;

/// Cuts the bytes of the server's stream into top-level elements, split at
/// any byte: feed with addData, then call parse until it returns NeedMoreData.
/// Checks the stream header, keeps the stream's language and domain, refuses
/// DTDs, comments and processing instructions, and caps one top-level
/// element in size, depth, attributes per start tag, namespace declarations
/// in scope and descendants: an element over a cap, or one the XML reader
/// refuses for anything inside it, is dropped and the stream goes on (a
/// dropped stanza is reported as a stanza_error, so that a request it
/// answered fails). Only faults of the stream's own markup end the stream,
/// and markup that never ends.
class StreamParser
{
public:
    /// Paused: the deadline passed inside a large element; the next call
    /// reads on where this one stopped.
    enum Result { NeedMoreData = 0, EndOfStream = 1, ElementReady = 2, Paused = 3 };

    /// The largest top-level element, in bytes.
    static constexpr qint64 MaxElementSize = 1024 * 1024;
    /// The deepest nesting inside one top-level element.
    static constexpr int MaxElementDepth = 64;
    /// The most attributes (namespace declarations included) of one start tag.
    static constexpr int MaxAttributes = 32;
    /// The most namespace declarations in scope at once inside one element.
    static constexpr int MaxNamespaces = 32;
    /// The longest piece of markup (a start tag with its values, a comment,
    /// CDATA): no server relays one this long, so it is one that never ends.
    /// Skipping a dropped element holds none of its bytes, so this is far
    /// above the largest answer taken.
    static constexpr qint64 MaxMarkupSize = 64 * 1024 * 1024;
    /// The largest answer taken by allowLargerAnswer, unless it says otherwise.
    static constexpr qint64 MaxLargeAnswerSize = 16 * 1024 * 1024;
    /// The largest item of such an answer, unless it says otherwise: a
    /// larger one is dropped alone.
    static constexpr qint64 MaxListItemSize = 64 * 1024;
    /// The largest item of the own roster's answer: what a roster push can
    /// carry, so that a friend shown when pushed is there after a login too.
    static constexpr qint64 MaxRosterItemSize = MaxElementSize;

    StreamParser();
    ~StreamParser();
    StreamParser(const StreamParser&) = delete;
    StreamParser& operator=(const StreamParser&) = delete;

    void addData(const QByteArray& data);
    /// One step: a Result. Throws stream_parse_error (and what the element
    /// readers throw; the parser needs a reset after a stream_error) or a
    /// stanza_error for an element dropped, after which it reads on. A large
    /// element is read in parts: past the deadline, the step stops after a
    /// part with Paused.
    int parse(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
    /// Back to waiting for a stream header; unread input is dropped.
    void reset();
    /// The result with this id from one of `senders` (empty: no "from") may
    /// be up to `size` bytes, its items up to `itemSize` each, and is read
    /// as it arrives; once, until the next reset.
    void allowLargerAnswer(const QString& id, const QStringList& senders, qint64 size = MaxLargeAnswerSize,
                           qint64 itemSize = MaxListItemSize);
    /// Takes back an allowance that is still unused.
    void withdrawLargerAnswer(const QString& id);
    /// Whether the bytes given so far end inside a top-level element.
    bool elementUnfinished() const;

    /// The element of the last ElementReady, until the next step or reset.
    StreamElement* element() const;
    /// Takes the element of the last ElementReady out of the parser.
    std::unique_ptr<StreamElement> takeElement();
    /// The stream's language: the header's "xml:lang" (else a bare "lang").
    QString streamLanguage() const;
    /// The header's "from" as a domain.
    XMPPJid streamDomain() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace xmpp
