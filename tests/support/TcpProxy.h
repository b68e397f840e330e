#pragma once
// A TCP proxy on loopback in front of a test's server: it forwards every
// connection both ways, and can stop forwarding both ways without closing
// anything (a link gone silent: a sleeping laptop, a NAT that forgot the
// connection), forward again, or close every connection. It lives in the
// test's event loop and dies with the test.

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

class TcpProxy : public QObject
{
public:
    TcpProxy(const QString& host, quint16 port)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, host, port] {
            while (QTcpSocket* in = m_server.nextPendingConnection()) {
                auto* out = new QTcpSocket(in);
                out->connectToHost(host, port); // what is written meanwhile waits for the connection
                m_links.append(std::pair(QPointer(in), QPointer(out)));
                link(in, out);
                link(out, in);
            }
        });
    }
    ~TcpProxy() override
    {
        m_paused = true;
        close();
    }
    quint16 port() const { return m_server.serverPort(); }
    /// Nothing more passes either way, closes included; it waits.
    void pause() { m_paused = true; }
    /// Forwards what waited, and goes on.
    void resume()
    {
        m_paused = false;
        for (const auto& [in, out] : std::as_const(m_links)) {
            forward(in, out);
            forward(out, in);
        }
    }
    /// Drops every connection at both ends.
    void close()
    {
        for (const auto& [in, out] : std::as_const(m_links)) {
            if (out)
                out->abort();
            if (in)
                in->abort();
        }
    }

private:
    void link(QTcpSocket* from, QTcpSocket* to)
    {
        connect(from, &QTcpSocket::readyRead, to, [this, from, to] { forward(from, to); });
        connect(from, &QTcpSocket::disconnected, to, [this, to] {
            if (!m_paused)
                to->disconnectFromHost();
        });
    }
    void forward(QTcpSocket* from, QTcpSocket* to)
    {
        if (!m_paused && from && to)
            to->write(from->readAll());
    }

    QTcpServer m_server;
    QList<std::pair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> m_links;
    bool m_paused = false;
};
