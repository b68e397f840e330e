#pragma once

// A real HTTP server on loopback for the shell's tests: http_test_server.py
// started as a child process (HTTPS with a certificate), serving the files of a private directory.

#include <QDeadlineTimer>
#include <QDir>
#include <QList>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class HttpTestServer
{
public:
    explicit HttpTestServer(const QString& certificate = QString(), const QString& key = QString())
        : scheme(certificate.isEmpty() ? "http" : "https")
    {
        process.setProgram(QStringLiteral("python3"));
        process.setArguments(QStringList{QStringLiteral(PARLOR_SOURCE_DIR "/tests/app/http_test_server.py"),
            QStringLiteral("--root"), root.path(), QStringLiteral("--cert"), certificate, QStringLiteral("--key"), key}
                .mid(0, certificate.isEmpty() ? 3 : 7));
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start();
        if (!process.waitForStarted(5000))
            return;
        QDeadlineTimer deadline(10000);
        while (port == 0 && !deadline.hasExpired()) {
            process.waitForReadyRead(100);
            readLines();
        }
    }

    ~HttpTestServer()
    {
        process.closeWriteChannel(); // the server stops when its input ends
        if (!process.waitForFinished(2000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

    bool isRunning() const { return port != 0; }
    quint16 serverPort() const { return port; }
    QString base() const { return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(port); }
    QString rootPath() const { return root.path(); }

    /// Puts a file where the server serves it (path relative to the root).
    void setFile(const QString& path, const QByteArray& content)
    {
        const QString full = root.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
    }
    void removeFile(const QString& path) { QFile::remove(root.filePath(path)); }

    /// The request lines received so far.
    QStringList requests()
    {
        readLines();
        return requestLines;
    }
    void clearRequests()
    {
        readLines();
        requestLines.clear();
        sentLines.clear();
    }
    /// For every endless answer that has ended (the client went away): the
    /// bytes of body it sent.
    QList<qint64> endlessBodiesSent()
    {
        readLines();
        return sentLines;
    }

private:
    void readLines()
    {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("PORT ")))
                port = quint16(line.mid(5).toUInt());
            else if (line.startsWith(QLatin1String("REQUEST ")))
                requestLines << line.mid(8);
            else if (line.startsWith(QLatin1String("SENT ")))
                sentLines << line.mid(5).toLongLong();
        }
    }

    const char* scheme;
    QTemporaryDir root;
    QProcess process;
    quint16 port = 0;
    QStringList requestLines;
    QList<qint64> sentLines;
};
