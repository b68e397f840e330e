#include "TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
bool run(const QStringList& args, const QString& dir, QString* error)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit
        || p.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("openssl %1 failed: %2").arg(args.join(' '), QString::fromLocal8Bit(p.readAll()));
        return false;
    }
    return true;
}
}

namespace TestCertificates {

QString caCertificatePath(const QString& dir)
{
    return dir + QStringLiteral("/ca-certs/ca.crt");
}

QString serverCertificatePath(const QString& dir)
{
    return dir + QStringLiteral("/server.crt");
}

QString weakKeyServerCertificatePath(const QString& dir)
{
    return dir + QStringLiteral("/server-weak.crt");
}

QString serverKeyPath(const QString& dir)
{
    return dir + QStringLiteral("/server.key");
}

bool generate(const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir + QStringLiteral("/ca-certs"))) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    QFile ext(dir + QStringLiteral("/server.ext"));
    if (!ext.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    ext.write("basicConstraints=CA:FALSE\n"
              "keyUsage=digitalSignature,keyEncipherment\n"
              "extendedKeyUsage=serverAuth\n"
              "subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n");
    ext.close();

    // Elliptic-curve keys: generated in milliseconds.
    return run({"ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", "ca.key"}, dir, error)
           && run({"req", "-x509", "-new", "-key", "ca.key", "-sha256", "-days", "2", "-subj", "/CN=Parlor Test CA",
                   "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign",
                   "-out", "ca-certs/ca.crt"},
                  dir, error)
           && run({"ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", "server.key"}, dir, error)
           && run({"req", "-new", "-key", "server.key", "-subj", "/CN=localhost", "-out", "server.csr"}, dir, error)
           && run({"x509", "-req", "-in", "server.csr", "-CA", "ca-certs/ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                   "-days", "2", "-sha256", "-extfile", "server.ext", "-out", "server.crt"},
                  dir, error)
           && run({"req", "-x509", "-newkey", "rsa:1024", "-sha1", "-nodes", "-keyout", "weak.key", "-subj",
                   "/CN=localhost", "-days", "2", "-out", "server-weak.crt"},
                  dir, error);
}

void prependResourceSearchPath(const QString& dir)
{
    QStringList paths = QDir::searchPaths(QStringLiteral("resources"));
    paths.removeAll(dir);
    paths.prepend(dir);
    QDir::setSearchPaths(QStringLiteral("resources"), paths);
}

}
