#pragma once

#include "StreamElement.h"

#include <QByteArray>
#include <QString>

namespace xmpp {

// The SASL negotiation elements. Data members hold raw bytes: Base64 is the
// wire's business, done by the reader and the writer.

/// "auth": the mechanism and its initial response.
class SASLAuth : public StreamElement
{
public:
    SASLAuth() = default;
    SASLAuth(const QString& mechanism, const QByteArray& data) : mechanism(mechanism), data(data) {}
    SASLAuth(const SASLAuth&) = default;
    int type() const override { return KindSASLAuth; }

    QString mechanism;
    QByteArray data;
};

/// "challenge" from the server.
class SASLChallenge : public StreamElement
{
public:
    int type() const override { return KindSASLChallenge; }
    QByteArray data;
};

/// "response" to a challenge.
class SASLResponse : public StreamElement
{
public:
    int type() const override { return KindSASLResponse; }
    QByteArray data;
};

/// "abort": the client gives up the exchange.
class SASLAbort : public StreamElement
{
public:
    int type() const override { return KindSASLAbort; }
};

/// "success": authenticated; the stream restarts.
class SASLSuccess : public StreamElement
{
public:
    int type() const override { return KindSASLSuccess; }
};

/// SASL "failure" with its condition (names::saslFailureCondition).
class SASLFailure : public StreamElement
{
public:
    int type() const override { return KindSASLFailure; }
    /// Starts at 0 "aborted", a final failure, for a failure element without
    /// any condition child; -1 for a condition of no list this library
    /// knows (RFC 6120 added several), whose name is in conditionName.
    int condition = 0;
    /// The condition's element name as received; empty without one.
    QString conditionName;
};

} // namespace xmpp
