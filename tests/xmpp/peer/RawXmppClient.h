#pragma once

#include <QByteArray>
#include <QObject>
#include <QRegularExpressionMatch>
#include <QString>
#include <QTcpSocket>

/// A bare XMPP client for tests and measurements: plain TCP, SASL PLAIN,
/// bind and session written by hand, then raw stanzas in and text patterns
/// out. It shares no code with the library, so it can act as a second user
/// (a room moderator that kicks, a friend that subscribes) and as the floor
/// of the round-trip benchmark.
class RawXmppClient : public QObject
{
    Q_OBJECT

public:
    explicit RawXmppClient(QObject* parent = nullptr);

    /// Connects and negotiates up to a bound session; false with the reason.
    bool login(const QString& host, quint16 port, const QString& domain, const QString& user,
               const QString& password, QString* error = nullptr, int ms = 5000);
    /// Writes the bytes at once.
    void send(const QByteArray& bytes);
    /// Waits until the unread input matches the pattern; consumes the input
    /// up to the end of the match. Runs an event loop while waiting.
    bool waitFor(const QString& pattern, int ms = 5000, QRegularExpressionMatch* match = nullptr);
    /// Input received and not consumed yet.
    QByteArray pending() const { return m_buffer; }
    void discardPending() { m_buffer.clear(); }
    /// The full JID the server bound.
    QString jid() const { return m_jid; }
    void disconnectFromServer();

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
    QString m_jid;
};
