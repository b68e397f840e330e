#include "ProsodyFixture.h"

#include "TestCertificates.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

#ifndef PROSODY_PLUGIN_DIR
#error "PROSODY_PLUGIN_DIR must name the folder of the test server's own modules"
#endif

namespace {

QString luaString(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

void dieWithParent()
{
    // A test that crashes or is killed by ctest's time-out must not leave a
    // server behind: the kernel ends the child when the test process dies.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

bool runCtl(const QStringList& args, QString* error)
{
    QProcess ctl;
    ctl.setProcessChannelMode(QProcess::MergedChannels);
    ctl.setChildProcessModifier(dieWithParent);
    ctl.start(QStringLiteral("prosodyctl"), args);
    if (!ctl.waitForStarted(5000) || !ctl.waitForFinished(15000) || ctl.exitStatus() != QProcess::NormalExit
        || ctl.exitCode() != 0) {
        if (ctl.state() != QProcess::NotRunning) {
            ctl.kill();
            ctl.waitForFinished(2000);
        }
        if (error)
            *error = QStringLiteral("prosodyctl %1 failed: %2").arg(args.join(QLatin1Char(' ')),
                                                                    QString::fromLocal8Bit(ctl.readAll()));
        return false;
    }
    return true;
}

}

ProsodyFixture::ProsodyFixture()
    : ProsodyFixture(Options{})
{
}

ProsodyFixture::ProsodyFixture(Options options)
    : m_options(std::move(options))
{
}

ProsodyFixture::~ProsodyFixture()
{
    stop();
}

bool ProsodyFixture::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("prosody")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("prosodyctl")).isEmpty();
}

QString ProsodyFixture::directory() const
{
    return m_dir ? m_dir->path() : QString();
}

QString ProsodyFixture::configPath() const
{
    return directory() + QStringLiteral("/prosody.cfg.lua");
}

QString ProsodyFixture::caCertificatePath() const
{
    return TestCertificates::caCertificatePath(directory());
}

QString ProsodyFixture::log() const
{
    QFile file(directory() + QStringLiteral("/prosody.log"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool ProsodyFixture::writeConfig(QString* error)
{
    const QString dir = directory();
    QStringList modules{QStringLiteral("roster"), QStringLiteral("saslauth"), QStringLiteral("disco"),
                        QStringLiteral("vcard"), QStringLiteral("posix")};
    if (m_options.offerTls)
        modules << QStringLiteral("tls");
    QStringList quoted;
    for (const QString& m : modules)
        quoted << luaString(m);

    QStringList users;
    for (auto it = m_options.searchUsers.cbegin(); it != m_options.searchUsers.cend(); ++it)
        users << QStringLiteral("    [%1] = %2;").arg(luaString(it.key()), luaString(it.value()));

    QString cfg;
    cfg += QStringLiteral("-- Written by the test fixture for one run; nothing here outlives the test.\n");
    cfg += QStringLiteral("run_as_root = true\n");
    cfg += QStringLiteral("daemonize = false\n");
    cfg += QStringLiteral("pidfile = %1\n").arg(luaString(dir + QStringLiteral("/prosody.pid")));
    cfg += QStringLiteral("data_path = %1\n").arg(luaString(dir + QStringLiteral("/data")));
    cfg += QStringLiteral("plugin_paths = { %1 }\n").arg(luaString(QStringLiteral(PROSODY_PLUGIN_DIR)));
    cfg += QStringLiteral("certificates = %1\n").arg(luaString(dir + QStringLiteral("/certs")));
    cfg += QStringLiteral("log = { debug = %1 }\n").arg(luaString(dir + QStringLiteral("/prosody.log")));
    cfg += QStringLiteral("interfaces = { \"127.0.0.1\" }\n");
    cfg += QStringLiteral("c2s_interfaces = { \"127.0.0.1\" }\n");
    cfg += QStringLiteral("c2s_ports = { %1 }\n").arg(m_port);
    cfg += QStringLiteral("c2s_direct_tls_ports = {}\nlegacy_ssl_ports = {}\ns2s_ports = {}\ncomponent_ports = {}\n"
                          "http_ports = {}\nhttps_ports = {}\n");
    cfg += QStringLiteral("modules_enabled = { %1 }\n").arg(quoted.join(QStringLiteral(", ")));
    cfg += QStringLiteral("modules_disabled = { \"s2s\", \"offline\" }\n");
    cfg += QStringLiteral("authentication = \"internal_plain\"\n");
    cfg += QStringLiteral("c2s_require_encryption = %1\n")
               .arg(m_options.requireEncryption ? QStringLiteral("true") : QStringLiteral("false"));
    cfg += QStringLiteral("allow_unencrypted_plain_auth = true\n");
    cfg += QStringLiteral("c2s_stanza_size_limit = 1048576\n");
    cfg += QStringLiteral("VirtualHost %1\n").arg(luaString(domain()));
    cfg += QStringLiteral("    ssl = { key = %1, certificate = %2 }\n")
               .arg(luaString(TestCertificates::serverKeyPath(dir)),
                    luaString(TestCertificates::serverCertificatePath(dir)));
    cfg += QStringLiteral("VirtualHost %1\n").arg(luaString(otherDomain()));
    cfg += QStringLiteral("    ssl = { key = %1, certificate = %2 }\n")
               .arg(luaString(TestCertificates::serverKeyPath(dir)),
                    luaString(TestCertificates::serverCertificatePath(dir)));
    cfg += QStringLiteral("Component %1 \"muc\"\n").arg(luaString(mucService()));
    cfg += QStringLiteral("    muc_room_default_public = true\n");
    cfg += QStringLiteral("    muc_room_locking = %1\n")
               .arg(m_options.roomLocking ? QStringLiteral("true") : QStringLiteral("false"));
    cfg += QStringLiteral("    muc_room_default_history_length = 0\n");
    cfg += QStringLiteral("Component %1 \"parlor_search\"\n").arg(luaString(searchService()));
    cfg += QStringLiteral("    parlor_search_users = {\n%1\n    }\n").arg(users.join(QLatin1Char('\n')));

    QFile file(configPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(cfg.toUtf8()) < 0) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(configPath());
        return false;
    }
    return true;
}

bool ProsodyFixture::addAccount(const QString& user, const QString& password, QString* error)
{
    if (!m_prepared) {
        if (error)
            *error = QStringLiteral("start the fixture before adding accounts");
        return false;
    }
    return runCtl({QStringLiteral("--config"), configPath(), QStringLiteral("register"), user, domain(), password},
                  error);
}

bool ProsodyFixture::start(QString* error)
{
    if (isRunning())
        return true;
    if (!available()) {
        if (error)
            *error = QStringLiteral("prosody is not installed");
        return false;
    }
    if (!m_dir) {
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/prosody-XXXXXX"));
        if (!m_dir->isValid()) {
            if (error)
                *error = QStringLiteral("cannot create a temporary folder");
            return false;
        }
        QDir(directory()).mkpath(QStringLiteral("data"));
        QDir(directory()).mkpath(QStringLiteral("certs"));
        if (!TestCertificates::generate(directory(), error))
            return false;
    }
    // A port found free can be taken by another process before the server
    // binds it; then the server runs without its port and a connection there
    // would reach that other process. Only the server's own report of the
    // port counts, and a port lost that way is tried again with another.
    QString lastError;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Launch launch = launchOnFreePort(attempt == 0 ? m_options.firstPort : 0, &lastError);
        if (launch == Launch::Started)
            return true;
        if (launch == Launch::Failed)
            break;
    }
    if (error)
        *error = lastError;
    return false;
}

ProsodyFixture::Launch ProsodyFixture::launchOnFreePort(quint16 chosenPort, QString* error)
{
    m_port = chosenPort != 0 ? chosenPort : freeLoopbackPort();
    if (m_port == 0) {
        *error = QStringLiteral("no free loopback port");
        return Launch::Failed;
    }
    if (!writeConfig(error))
        return Launch::Failed;
    m_prepared = true;
    // Only what this start writes is read: a restarted server logs on.
    const qsizetype logStart = log().size();

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(directory() + QStringLiteral("/prosody.out"));
    m_process->setChildProcessModifier(dieWithParent);
    m_process->start(QStringLiteral("prosody"), {QStringLiteral("--config"), configPath(), QStringLiteral("-F")});
    if (!m_process->waitForStarted(5000)) {
        *error = QStringLiteral("prosody did not start: %1").arg(m_process->errorString());
        m_process.reset();
        return Launch::Failed;
    }

    const QString bound = QStringLiteral("Added listening service c2s to [127.0.0.1]:%1").arg(m_port);
    const QString lost = QStringLiteral("Failed to open server port %1").arg(m_port);
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (m_process->state() != QProcess::Running) {
            *error = QStringLiteral("prosody exited early:\n%1").arg(log());
            m_process.reset();
            return Launch::Failed;
        }
        const QString text = log().mid(logStart);
        if (text.contains(lost)) {
            *error = QStringLiteral("port %1 was taken by another process:\n%2").arg(m_port).arg(text);
            stop();
            return Launch::PortLost;
        }
        if (text.contains(bound)) {
            // Bound by the server itself: accepting is the sign that it is up.
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200)) {
                probe.abort();
                return Launch::Started;
            }
        }
        QThread::msleep(20);
    }
    *error = QStringLiteral("prosody did not open port %1 in time:\n%2").arg(m_port).arg(log());
    stop();
    return Launch::Failed;
}

void ProsodyFixture::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_process.reset();
}

void ProsodyFixture::kill()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    m_process.reset();
}

bool ProsodyFixture::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}
