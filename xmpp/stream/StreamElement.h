#pragma once

namespace xmpp {

/// The element kinds: every object that crosses the stream reports one, and
/// the client and the writer switch on it.
enum ElementKind {
    KindStreamError = 0,
    KindStreamFeatures = 1,
    KindTLSStart = 2,
    KindTLSProceed = 3,
    KindTLSFailure = 4,
    KindSASLAuth = 5,
    KindSASLChallenge = 6,
    KindSASLResponse = 7,
    KindSASLAbort = 8,
    KindSASLSuccess = 9,
    KindSASLFailure = 10,
    KindStanza = 11,
    KindMessageStanza = 12,
    KindPresenceStanza = 13,
    KindIq = 14,
    KindIqBind = 15,
    KindIqVCard = 16,
    KindIqSession = 17,
    KindIqRoster = 18,
    KindIqDiscoInfo = 19,
    KindIqDiscoItems = 20,
    KindIqSearch = 21,
    KindMucPresenceStanza = 22,
    KindIqInstantRoom = 23,
    KindIqPing = 24,
};

/// One top-level element of the stream, received or to send. Objects have a
/// single owner at a time and are handed on by std::unique_ptr.
class StreamElement
{
public:
    virtual ~StreamElement() = default;
    /// The element kind, one of ElementKind.
    virtual int type() const = 0;

protected:
    StreamElement() = default;
    StreamElement(const StreamElement&) = default;
    StreamElement& operator=(const StreamElement&) = default;
};

} // namespace xmpp
