#include "RawXmppClient.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

RawXmppClient::RawXmppClient(QObject* parent)
    : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { m_buffer += m_socket.readAll(); });
}

void RawXmppClient::send(const QByteArray& bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

bool RawXmppClient::waitFor(const QString& pattern, int ms, QRegularExpressionMatch* match)
{
    const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
    QDeadlineTimer deadline(ms);
    for (;;) {
        m_buffer += m_socket.readAll();
        const QString text = QString::fromUtf8(m_buffer);
        const QRegularExpressionMatch found = re.match(text);
        if (found.hasMatch()) {
            m_buffer.remove(0, text.left(found.capturedEnd()).toUtf8().size());
            if (match)
                *match = found;
            return true;
        }
        if (deadline.hasExpired() || m_socket.state() == QAbstractSocket::UnconnectedState)
            return false;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&m_socket, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
        connect(&m_socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        timer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        loop.exec();
    }
}

bool RawXmppClient::login(const QString& host, quint16 port, const QString& domain, const QString& user,
                          const QString& password, QString* error, int ms)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why + QStringLiteral("; input: ") + QString::fromUtf8(m_buffer);
        return false;
    };
    const QByteArray header = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                              "xmlns:stream='http://etherx.jabber.org/streams' version='1.0' to='"
                              + domain.toUtf8() + "'>";
    m_socket.connectToHost(host, port);
    if (!m_socket.waitForConnected(ms))
        return fail(QStringLiteral("no connection"));
    send(header);
    if (!waitFor(QStringLiteral("</stream:features>"), ms))
        return fail(QStringLiteral("no features"));
    const QByteArray plain = QByteArray(1, '\0') + user.toUtf8() + QByteArray(1, '\0') + password.toUtf8();
    send("<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='PLAIN'>" + plain.toBase64() + "</auth>");
    QRegularExpressionMatch outcome;
    if (!waitFor(QStringLiteral("<(success|failure)[^>]*(/>|>.*?</\\1>)"), ms, &outcome) || outcome.captured(1) != QLatin1String("success"))
        return fail(QStringLiteral("authentication refused"));
    send(header);
    if (!waitFor(QStringLiteral("</stream:features>"), ms))
        return fail(QStringLiteral("no features after authentication"));
    send("<iq type='set' id='raw-bind'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/></iq>");
    QRegularExpressionMatch bound;
    if (!waitFor(QStringLiteral("<jid>([^<]+)</jid>.*?</iq>"), ms, &bound))
        return fail(QStringLiteral("no bind result"));
    m_jid = bound.captured(1);
    send("<iq type='set' id='raw-session'><session xmlns='urn:ietf:params:xml:ns:xmpp-session'/></iq>");
    if (!waitFor(QStringLiteral("id=['\"]raw-session['\"]"), ms))
        return fail(QStringLiteral("no session result"));
    return true;
}

void RawXmppClient::disconnectFromServer()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        send("</stream:stream>");
        m_socket.disconnectFromHost();
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            m_socket.waitForDisconnected(2000);
    }
}
