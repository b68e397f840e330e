#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRegularExpression>
#include <QString>

#include <QSslSocket>

/// An XMPP server played from a script, on 127.0.0.1, for the cases a real
/// server cannot be made to produce (missing features, refusals, malformed or
/// split input, timing). It accepts one client, runs its steps in order and
/// records every byte the client writes (after TLS, the decrypted bytes).
///
/// Steps: expect (wait until what the client wrote since the last match
/// matches a pattern), send (bytes, whole or in pieces of n bytes with an
/// event-loop turn between them), starttls (server side of the handshake) and
/// close. A pattern's named group "id" is kept, and "{id}" in later sent bytes
/// is replaced by it, so replies can echo the client's iq ids.
class ScriptedXmppPeer : public QObject
{
    Q_OBJECT

public:
    explicit ScriptedXmppPeer(QObject* parent = nullptr);
    ~ScriptedXmppPeer() override;

    /// Listens on 127.0.0.1, free port. certDir holds TestCertificates files
    /// (needed only by scripts that use startTls()).
    bool listen(const QString& certDir = QString());
    quint16 port() const;

    ScriptedXmppPeer& expect(const QString& pattern);
    ScriptedXmppPeer& send(const QByteArray& bytes);
    ScriptedXmppPeer& sendSplit(const QByteArray& bytes, int pieceSize);
    ScriptedXmppPeer& startTls();
    ScriptedXmppPeer& close();
    /// From now on every send step goes out in pieces of n bytes (0: whole).
    void setPieceSize(int n) { m_pieceSize = n; }

    /// The usual steps from the client's first header to a bound session
    /// without TLS: PLAIN offered, success, bind offered (and session when
    /// asked), bind answered with user@domain/res. The stream domain is domain.
    ScriptedXmppPeer& playPlainLogin(const QString& domain = QStringLiteral("localhost"), bool offerSession = false);

    /// The server's stream header (from = domain) followed by features.
    static QByteArray header(const QString& domain = QStringLiteral("localhost"));
    static QByteArray features(const QByteArray& inner);

    /// True when every step has run.
    bool finished() const { return m_next >= m_steps.size(); }
    /// Waits (event loop) until every step has run; false on time-out.
    bool waitFinished(int ms = 5000);
    /// Waits until the client's bytes since the last expect match the pattern
    /// (they are not consumed); false on time-out.
    bool waitReceived(const QString& pattern, int ms = 5000);
    /// Waits until the client closed its side; false on time-out.
    bool waitClientClosed(int ms = 5000);

    /// Every byte the client wrote.
    QByteArray received() const { return m_received; }
    /// What the client wrote after the last matched expect.
    QByteArray unmatched() const { return m_received.mid(m_consumed); }
    bool clientConnected() const { return !m_socket.isNull(); }
    bool clientClosed() const { return m_closed; }
    /// The step the script waits on, for failure messages.
    QString pendingStep() const;

    /// Sends at once, outside the script.
    void sendNow(const QByteArray& bytes);
    /// Once a client is connected: reads nothing more, so that what it writes
    /// piles up (with false: reads it again).
    void stopReading(bool stop = true);

Q_SIGNALS:
    void stepsFinished();

private:
    struct Step
    {
        enum Kind { Expect, Send, StartTls, Close } kind;
        QByteArray bytes;
        QRegularExpression pattern;
        int pieceSize = 0;
    };

    void onNewConnection();
    void onReadyRead();
    void run();
    void scheduleRun();
    QByteArray withId(QByteArray bytes) const;

    quint16 m_serverPort = 0;
    QString m_certDir;
    QPointer<QSslSocket> m_socket;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    QByteArray m_received;
    qsizetype m_consumed = 0;
    QByteArray m_lastId;
    bool m_running = false;
    bool m_closed = false;
    bool m_reading = true;
    int m_pieceSize = 0;
};
