#include "ScriptedXmppPeer.h"

#include "TestCertificates.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

/// QTcpServer that hands out QSslSocket objects, so that STARTTLS can
/// upgrade the same connection later.
class SslServer : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr handle) override
    {
        auto* socket = new QSslSocket(this);
        if (socket->setSocketDescriptor(handle))
            addPendingConnection(socket);
        else
            delete socket;
    }
};

}

ScriptedXmppPeer::ScriptedXmppPeer(QObject* parent)
    : QObject(parent)
{
}

ScriptedXmppPeer::~ScriptedXmppPeer()
{
    if (m_socket)
        m_socket->abort();
}

bool ScriptedXmppPeer::listen(const QString& certDir)
{
    m_certDir = certDir;
    auto* server = new SslServer(this);
    if (!server->listen(QHostAddress::LocalHost, 0))
        return false;
    connect(server, &QTcpServer::newConnection, this, [this, server] {
        while (server->hasPendingConnections()) {
            auto* socket = qobject_cast<QSslSocket*>(server->nextPendingConnection());
            if (!socket)
                continue;
            if (m_socket) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            m_socket = socket;
            connect(socket, &QSslSocket::readyRead, this, &ScriptedXmppPeer::onReadyRead);
            connect(socket, &QSslSocket::disconnected, this, [this] { m_closed = true; });
            connect(socket, &QSslSocket::encrypted, this, &ScriptedXmppPeer::onReadyRead);
            run();
        }
    });
    m_serverPort = server->serverPort();
    return true;
}

quint16 ScriptedXmppPeer::port() const
{
    return m_serverPort;
}

ScriptedXmppPeer& ScriptedXmppPeer::expect(const QString& pattern)
{
    Step step{Step::Expect, {}, QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption), 0};
    m_steps.append(step);
    scheduleRun();
    return *this;
}

ScriptedXmppPeer& ScriptedXmppPeer::send(const QByteArray& bytes)
{
    m_steps.append(Step{Step::Send, bytes, {}, m_pieceSize});
    scheduleRun();
    return *this;
}

ScriptedXmppPeer& ScriptedXmppPeer::sendSplit(const QByteArray& bytes, int pieceSize)
{
    m_steps.append(Step{Step::Send, bytes, {}, qMax(1, pieceSize)});
    scheduleRun();
    return *this;
}

ScriptedXmppPeer& ScriptedXmppPeer::startTls()
{
    m_steps.append(Step{Step::StartTls, {}, {}, 0});
    scheduleRun();
    return *this;
}

ScriptedXmppPeer& ScriptedXmppPeer::close()
{
    m_steps.append(Step{Step::Close, {}, {}, 0});
    scheduleRun();
    return *this;
}

void ScriptedXmppPeer::scheduleRun()
{
    // Steps added after the script ran dry start once the event loop turns.
    if (m_socket)
        QMetaObject::invokeMethod(this, &ScriptedXmppPeer::run, Qt::QueuedConnection);
}

QByteArray ScriptedXmppPeer::header(const QString& domain)
{
    return "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
           "xmlns:stream='http://etherx.jabber.org/streams' id='s1' version='1.0' xml:lang='en' from='"
           + domain.toUtf8() + "'>";
}

QByteArray ScriptedXmppPeer::features(const QByteArray& inner)
{
    return "<stream:features>" + inner + "</stream:features>";
}

ScriptedXmppPeer& ScriptedXmppPeer::playPlainLogin(const QString& domain, bool offerSession)
{
    const QByteArray session =
        offerSession ? QByteArray("<session xmlns='urn:ietf:params:xml:ns:xmpp-session'/>") : QByteArray();
    expect(QStringLiteral("<stream:stream[^>]*>"));
    send(header(domain)
         + features("<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism>"
                    "</mechanisms>"));
    expect(QStringLiteral("<auth [^>]*mechanism=\"PLAIN\"[^>]*>[^<]*</auth>"));
    send("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    expect(QStringLiteral("<stream:stream[^>]*>"));
    send(header(domain) + features("<bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/>" + session));
    expect(QStringLiteral("<iq [^>]*id=\"(?<id>[^\"]+)\"[^>]*><bind "));
    send("<iq type='result' id='{id}'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'><jid>user@" + domain.toUtf8()
         + "/res</jid></bind></iq>");
    if (offerSession) {
        expect(QStringLiteral("<iq [^>]*id=\"(?<id>[^\"]+)\"[^>]*><session "));
        send("<iq type='result' id='{id}'/>");
    }
    return *this;
}

QByteArray ScriptedXmppPeer::withId(QByteArray bytes) const
{
    return bytes.replace("{id}", m_lastId);
}

void ScriptedXmppPeer::sendNow(const QByteArray& bytes)
{
    if (m_socket) {
        m_socket->write(withId(bytes));
        m_socket->flush();
    }
}

void ScriptedXmppPeer::stopReading(bool stop)
{
    m_reading = !stop;
    m_socket->setReadBufferSize(stop ? 1 : 0); // a client is connected by then
    if (!stop)
        onReadyRead();
}

void ScriptedXmppPeer::onReadyRead()
{
    if (!m_socket || !m_reading)
        return;
    m_received += m_socket->readAll();
    run();
}

void ScriptedXmppPeer::run()
{
    if (m_running || !m_socket)
        return;
    m_running = true;
    while (m_next < m_steps.size()) {
        Step& step = m_steps[m_next];
        if (step.kind == Step::Expect) {
            const QString pending = QString::fromUtf8(m_received.mid(m_consumed));
            const QRegularExpressionMatch match = step.pattern.match(pending);
            if (!match.hasMatch())
                break;
            if (!match.captured(QStringLiteral("id")).isNull())
                m_lastId = match.captured(QStringLiteral("id")).toUtf8();
            m_consumed += pending.left(match.capturedEnd()).toUtf8().size();
            ++m_next;
        } else if (step.kind == Step::Send) {
            const QByteArray bytes = withId(step.bytes);
            if (step.pieceSize <= 0 || step.pieceSize >= bytes.size()) {
                m_socket->write(bytes);
                m_socket->flush();
                ++m_next;
            } else {
                // One piece now, the rest after the client has had a chance
                // to read it.
                m_socket->write(bytes.left(step.pieceSize));
                m_socket->flush();
                step.bytes = bytes.mid(step.pieceSize);
                m_running = false;
                QTimer::singleShot(1, this, &ScriptedXmppPeer::run);
                return;
            }
        } else if (step.kind == Step::StartTls) {
            m_socket->flush();
            m_socket->setLocalCertificate(TestCertificates::serverCertificatePath(m_certDir));
            m_socket->setPrivateKey(TestCertificates::serverKeyPath(m_certDir), QSsl::Ec);
            m_socket->setPeerVerifyMode(QSslSocket::VerifyNone);
            m_socket->startServerEncryption();
            ++m_next;
        } else if (step.kind == Step::Close) {
            m_socket->flush();
            m_socket->disconnectFromHost();
            ++m_next;
        }
    }
    m_running = false;
    if (finished())
        Q_EMIT stepsFinished();
}

bool ScriptedXmppPeer::waitFinished(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!finished() && !deadline.hasExpired())
        QTest::qWait(5);
    return finished();
}

bool ScriptedXmppPeer::waitReceived(const QString& pattern, int ms)
{
    const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (re.match(QString::fromUtf8(m_received.mid(m_consumed))).hasMatch())
            return true;
        QTest::qWait(5);
    }
    return re.match(QString::fromUtf8(m_received.mid(m_consumed))).hasMatch();
}

bool ScriptedXmppPeer::waitClientClosed(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!m_closed && !deadline.hasExpired())
        QTest::qWait(5);
    return m_closed;
}

QString ScriptedXmppPeer::pendingStep() const
{
    if (finished())
        return QStringLiteral("none");
    const Step& step = m_steps[m_next];
    switch (step.kind) {
    case Step::Expect:
        return QStringLiteral("step %1: expect %2; unmatched: %3")
            .arg(m_next)
            .arg(step.pattern.pattern(), QString::fromUtf8(unmatched()));
    case Step::Send:
        return QStringLiteral("step %1: send").arg(m_next);
    case Step::StartTls:
        return QStringLiteral("step %1: starttls").arg(m_next);
    case Step::Close:
        return QStringLiteral("step %1: close").arg(m_next);
    }
    return QString();
}
