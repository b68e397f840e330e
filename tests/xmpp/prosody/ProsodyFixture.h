#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

/// A Prosody server for one test run, on 127.0.0.1 and a free port.
/// Everything it writes (configuration, certificates, accounts, pid, log) lives
/// in a temporary folder below the test's TMPDIR and goes away with the
/// fixture. The server process dies with the fixture, and with the test
/// process too when that one is killed (the child asks the kernel for it).
class ProsodyFixture
{
public:
    struct Options
    {
        bool roomLocking = false;       ///< a new room stays locked until configured
        bool requireEncryption = false; ///< c2s refuses to authenticate before STARTTLS
        bool offerTls = true;           ///< load the TLS module at all
        /// Users the search service knows: account name -> display name.
        QMap<QString, QString> searchUsers;
        /// The port the first start tries instead of one found free (0: none),
        /// for showing that a port another process holds is given up.
        quint16 firstPort = 0;
    };

    ProsodyFixture();
    explicit ProsodyFixture(Options options);
    ~ProsodyFixture();
    ProsodyFixture(const ProsodyFixture&) = delete;
    ProsodyFixture& operator=(const ProsodyFixture&) = delete;

    /// True when the prosody and prosodyctl programs are installed.
    static bool available();

    /// Writes the configuration and certificates, starts the server and waits
    /// (at most 15 s) until the server reports its own client port bound and
    /// the port accepts connections. Never talks to another process that
    /// holds the port: a port taken meanwhile is given up for another.
    bool start(QString* error = nullptr);
    /// Stops the server: SIGTERM, at most 5 s, then SIGKILL.
    void stop();
    /// Kills the server at once (SIGKILL): its connections drop without a
    /// word.
    void kill();
    bool isRunning() const;

    /// Creates an account with prosodyctl (works before and after start).
    bool addAccount(const QString& user, const QString& password, QString* error = nullptr);

    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    QString domain() const { return QStringLiteral("localhost"); }
    /// A second domain the server serves with the same certificate, which
    /// does not name it.
    QString otherDomain() const { return QStringLiteral("elsewhere.localhost"); }
    QString mucService() const { return QStringLiteral("conference.localhost"); }
    QString searchService() const { return QStringLiteral("search.localhost"); }
    QString directory() const;
    QString caCertificatePath() const;
    /// The server's log so far (debug level), for failure messages.
    QString log() const;

private:
    enum class Launch { Started, PortLost, Failed };
    /// One start on a port found free (or the chosen one); PortLost when
    /// another process had taken it before the server could bind it.
    Launch launchOnFreePort(quint16 chosenPort, QString* error);
    bool writeConfig(QString* error);
    QString configPath() const;

    Options m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    bool m_prepared = false;
};
