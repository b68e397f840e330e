#include "CommandLine.h"

#include "Logging.h"
#include "TranslationsManager.h"

#include <ParlorResources.h>

#include <QDebug>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <boost/program_options.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace po = boost::program_options;

StartParameters StartParameters::defaults()
{
    StartParameters p;
    p.host = QLatin1String(defaultServerHost);
    p.port = defaultSslPort;
    p.httpHost = QLatin1String(defaultHttpHost);
    p.useSsl = true;
    return p;
}

CommandLineResult parseCommandLine(StartParameters& params, int argc, char** argv)
{
    po::options_description desc("usage: client [options] [host:port]", 80);
    desc.add_options()
        ("help,h", "this help message")
        ("host", po::value<std::string>(), "server host")
        ("httphost", po::value<std::string>(), "http host, defaults to server host")
        ("user,u", po::value<std::string>(), "user name")
        ("password,p", po::value<std::string>(), "password")
        ("lang,l", po::value<std::string>(), "language used by client (ISO 639-2 code)")
        ("minloglevel,m", po::value<std::string>(),
         "minimum log level, \"debug\", \"warning\", \"critical\", \"fatal\"")
        ("searchpath,s", po::value<std::string>(),
         QStringLiteral("A %1 separated list of directories to search for resources")
             .arg(QLatin1Char(';')).toStdString().c_str())
        ("nossl,n", "don't use ssl")
        ("install,i", "Install custom data - called from installer");

    po::positional_options_description positional;
    positional.add("host", 1);

    po::variables_map vm;
    po::store(po::command_line_parser(argc, argv).options(desc).positional(positional).run(), vm);
    po::notify(vm);

    const auto text = [&vm](const char* name) { return QString::fromStdString(vm[name].as<std::string>()); };

    CommandLineResult result;
    if (vm.count("help")) {
        std::ostringstream out;
        out << desc << "\n";
        result.helpRequested = true;
        result.helpText = QString::fromStdString(out.str());
        return result;
    }

    bool portGiven = false;
    if (vm.count("host")) {
        const QString value = text("host");
        const QStringList parts = value.split(QLatin1Char(':'), Qt::KeepEmptyParts);
        if (parts.size() == 1) {
            params.host = parts.at(0);
        } else if (parts.size() == 2) {
            params.host = parts.at(0);
            // Digits only: toUInt() alone would take " 80" and "+80".
            const QString& portText = parts.at(1);
            bool ok = !portText.isEmpty()
                && std::all_of(portText.begin(), portText.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
            const uint port = ok ? portText.toUInt(&ok, 10) : 0;
            if (!ok || port > 0xFFFF)
                throw CommandLineError("invalid port \"" + parts.at(1).toStdString() + "\"");
            params.port = static_cast<quint16>(port);
            portGiven = true;
        } else {
            throw CommandLineError("invalid host+port specification \"" + value.toStdString() + "\"");
        }
        if (!vm.count("httphost"))
            params.httpHost = params.host;
    }
    if (vm.count("httphost"))
        params.httpHost = text("httphost");
    if (vm.count("user"))
        params.user = text("user");
    if (vm.count("password"))
        params.password = text("password");
    if (vm.count("lang"))
        params.lang = text("lang");
    if (vm.count("searchpath"))
        params.searchPaths = text("searchpath").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (vm.count("minloglevel")) {
        const QString level = text("minloglevel");
        static const char* const names[] = {"debug", "warning", "critical", "fatal"};
        bool isLevel = false;
        for (int i = 0; i < 4; ++i) {
            if (level.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) {
                Logging::minLogLevel = i;
                isLevel = true;
                break;
            }
        }
        if (!isLevel) {
            qDebug() << "Using " << level << "as regexp";
            auto* filter = new QRegularExpression(level);
            if (!filter->isValid()) {
                delete filter;
                throw CommandLineError("Invalid regexp specified");
            }
            delete Logging::logFilter;
            Logging::logFilter = filter;
        }
    }
    if (vm.count("nossl")) {
        params.useSsl = false;
        if (!portGiven)
            params.port = defaultPlainPort;
    }
    if (vm.count("install"))
        params.install = true;
    return result;
}

void parseCommandLine(QString& host, quint16& port, int argc, char** argv, QString& user, QString& password,
                      QString& httpHost, QString& lang, bool& useSsl, bool& install, QStringList& searchPaths)
{
    StartParameters p;
    p.host = host;
    p.port = port;
    p.httpHost = httpHost;
    p.user = user;
    p.password = password;
    p.lang = lang;
    p.useSsl = useSsl;
    p.install = install;
    p.searchPaths = searchPaths;
    try {
        const CommandLineResult result = parseCommandLine(p, argc, argv);
        if (result.helpRequested) {
            std::cout << result.helpText.toStdString() << std::flush;
            std::exit(0);
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
        std::exit(1);
    }
    host = p.host;
    port = p.port;
    httpHost = p.httpHost;
    user = p.user;
    password = p.password;
    lang = p.lang;
    useSsl = p.useSsl;
    install = p.install;
    searchPaths = p.searchPaths;
}

void setupSearchPaths(const QStringList& searchPaths)
{
    const QStringList prefixes = {QStringLiteral("resources"), QStringLiteral("translations"), QStringLiteral("sounds"),
                                  QStringLiteral("avatars")};
    if (!searchPaths.isEmpty()) {
        for (const QString& prefix : prefixes)
            QDir::setSearchPaths(prefix, searchPaths);
    }
    Logging::messageHandler(QtWarningMsg, QMessageLogContext(),
                            QStringLiteral(" [INFO ] Using qt resources for sku parlor7"));
    for (const QString& tree : ParlorResources::compiledTrees())
        QDir::addSearchPath(QStringLiteral("resources"), tree);
    QDir::addSearchPath(QStringLiteral("translations"), QStringLiteral("resources:/translations"));
    QDir::addSearchPath(QStringLiteral("avatars"), QStringLiteral("resources:avatars"));
    // The program's own sound folders, never ones relative to the current
    // folder: whatever folder the program is started from must not supply
    // files it reads.
    if (QCoreApplication::instance()) {
        const QDir own(QCoreApplication::applicationDirPath());
        for (const char* folder : {"sounds", "resources/external/sounds/wav", "resources/external/sounds/wma"})
            QDir::addSearchPath(QStringLiteral("sounds"), own.filePath(QLatin1String(folder)));
    }
}

QUrl defaultVersionUrl(const QString& httpHost)
{
    // "--httphost" may carry a port ("host:8080"); without one it is 80.
    const QUrl given(QStringLiteral("http://") + httpHost, QUrl::StrictMode);
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(given.isValid() ? given.host() : httpHost);
    url.setPort(given.isValid() ? given.port(80) : 80);
    url.setPath(QStringLiteral("/client/parlor7/client_versions.xml"));
    return url;
}

void installTranslation(TranslationsManager& tm, const QString& lang)
{
    if (!lang.isEmpty()) {
        if (tm.setLanguage(lang))
            return;
        qWarning() << "failed to set" << lang << "as translation";
    }
    tm.setInitialLanguage();
}
