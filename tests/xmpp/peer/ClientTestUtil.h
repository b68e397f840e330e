#pragma once

// Small helpers shared by the client tests.

#include "XMPPClient.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace clienttest {

/// Makes every socket created from now on trust the test CA (sockets take
/// the default configuration when they are constructed).
inline bool trustCa(const QString& caPath)
{
    const QList<QSslCertificate> certs = QSslCertificate::fromPath(caPath);
    if (certs.isEmpty())
        return false;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(certs);
    QSslConfiguration::setDefaultConfiguration(config);
    return true;
}

/// Makes the test CA the service's CA file "resources:/ca-certs/ca.crt": a
/// copy in a folder under the temporary directory, first on the "resources"
/// search path. The program's connections trust that file alone.
inline bool installServiceCa(const QString& caPath)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/service-ca");
    if (!QDir().mkpath(dir + QStringLiteral("/ca-certs")))
        return false;
    const QString target = dir + QStringLiteral("/ca-certs/ca.crt");
    QFile::remove(target);
    if (!QFile::copy(caPath, target))
        return false;
    QStringList paths = QDir::searchPaths(QStringLiteral("resources"));
    paths.removeAll(dir);
    paths.prepend(dir);
    QDir::setSearchPaths(QStringLiteral("resources"), paths);
    return true;
}

/// Connects and waits (at most ms) for the session; false on time-out.
inline bool connectAndWait(XMPPClient& client, const QString& host, quint16 port, const QString& domain,
                           const QString& user, const QString& password, int policy, int ms = 10000)
{
    QSignalSpy connected(&client, &XMPPClient::connected);
    client.setDomain(domain);
    client.setCredentials(user, password);
    client.connectToHost(host, port, policy);
    return connected.wait(ms) || client.state() == XMPPClient::SessionState;
}

/// Connects to a scripted peer on loopback as user@localhost with password
/// "pw" and waits for the session, as connectAndWait.
inline bool connectToPeer(XMPPClient& client, quint16 port, const QString& user = QStringLiteral("user"),
                          int policy = XMPPClient::TlsNever, int ms = 10000)
{
    return connectAndWait(client, QStringLiteral("127.0.0.1"), port, QStringLiteral("localhost"), user,
                          QStringLiteral("pw"), policy, ms);
}

/// Waits until the client is back in UnconnectedState.
inline bool waitUnconnected(XMPPClient& client, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (client.state() != XMPPClient::UnconnectedState && !deadline.hasExpired())
        QTest::qWait(5);
    return client.state() == XMPPClient::UnconnectedState;
}

}
