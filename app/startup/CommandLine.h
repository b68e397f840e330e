#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <stdexcept>

class TranslationsManager;

/// The start parameters that the command line may change.
struct StartParameters
{
    QString host;
    quint16 port = 4124;
    QString httpHost;
    QString user;
    QString password;
    QString lang;
    bool useSsl = true;
    bool install = false;
    QStringList searchPaths;

    /// The defaults before the command line: the service's hosts, port 4124, TLS on.
    static StartParameters defaults();
};

/// The game server of the service.
inline constexpr char defaultServerHost[] = "game.parlor7.example";
/// The web server of the service.
inline constexpr char defaultHttpHost[] = "www.parlor7.example";
/// The maker's web domain (the organisation domain of the settings store).
inline constexpr char organisationDomain[] = "zephyrtangle.example";
/// Game server port with TLS and without.
inline constexpr quint16 defaultSslPort = 4124;
inline constexpr quint16 defaultPlainPort = 4123;

/// A command line that cannot be used; its text goes to standard error.
class CommandLineError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// What parsing found: go on, or print the help text and stop.
struct CommandLineResult
{
    bool helpRequested = false;
    QString helpText;
};

/// Parses the command line into the parameters and the process-wide log
/// settings. Throws CommandLineError (or the option library's exceptions,
/// all derived from std::exception) for a bad command line.
CommandLineResult parseCommandLine(StartParameters& params, int argc, char** argv);

/// Parses as above and ends the process itself: help printed to standard
/// output and exit code 0, a bad command line printed to standard error and
/// exit code 1.
void parseCommandLine(QString& host, quint16& port, int argc, char** argv, QString& user, QString& password,
                      QString& httpHost, QString& lang, bool& useSsl, bool& install, QStringList& searchPaths);

/// Installs the "resources", "translations", "sounds" and "avatars" search paths:
/// the command line's folders first; the sounds then only from the program's own folder.
void setupSearchPaths(const QStringList& searchPaths);

/// "http://<httpHost>:80/client/parlor7/client_versions.xml".
QUrl defaultVersionUrl(const QString& httpHost);

/// The command-line language when the manager accepts it, else the manager's own choice.
void installTranslation(TranslationsManager& tm, const QString& lang);
