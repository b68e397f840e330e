#pragma once
// A TCP proxy on loopback in front of a test's server. It forwards every
// connection both ways and can stop forwarding both ways without closing
// anything (a link gone silent: a sleeping laptop, a NAT that forgot it),
// forward again, throttle (a slow link), or close every connection; it dies with the test.

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class TcpProxy : public QObject
{
public:
    TcpProxy(const QString& host, quint16 port)
    {
        m_server.listen(QHostAddress::LocalHost);
        m_tick.callOnTimeout(this, [this] { if (!m_paused) resume(); });
        connect(&m_server, &QTcpServer::newConnection, this, [this, host, port] {
            while (QTcpSocket* in = m_server.nextPendingConnection()) {
                auto* out = new QTcpSocket(in);
                out->connectToHost(host, port); // what comes meanwhile waits for the connection
                for (QTcpSocket* from : {in, out}) {
                    QTcpSocket* to = from == in ? out : in;
                    connect(from, &QTcpSocket::readyRead, to, [this, from, to] { if (m_rate == 0) forward(from, to); });
                    connect(from, &QTcpSocket::disconnected, to, [this, to] { if (!m_paused) to->disconnectFromHost(); });
                }
                m_sockets << in << out;
            }
        });
    }
    ~TcpProxy() override
    {
        m_paused = true;
        close();
    }
    quint16 port() const { return m_server.serverPort(); }
    /// Nothing passes either way, closes included, until resume().
    void pause() { m_paused = true; }
    void resume()
    {
        m_paused = false;
        for (qsizetype i = 0; i < m_sockets.size(); ++i)
            forward(m_sockets[i], m_sockets[i ^ 1]);
    }
    /// From now on at most `bytesPerSecond` pass each way, in slices every 20 ms (0: no bound).
    void throttle(qint64 bytesPerSecond) { m_rate = bytesPerSecond, m_tick.start(20); }
    void close()
    {
        for (const QPointer<QTcpSocket>& socket : std::as_const(m_sockets))
            if (socket)
                socket->abort();
    }

private:
    void forward(QTcpSocket* from, QTcpSocket* to)
    {
        if (!m_paused && from && to)
            to->write(m_rate ? from->read(m_rate / 50) : from->readAll());
    }

    QTcpServer m_server;
    /// Each connection's two ends, side by side.
    QList<QPointer<QTcpSocket>> m_sockets;
    bool m_paused = false;
    qint64 m_rate = 0;
    QTimer m_tick;
};
