#include "CommandLine.h"
#include "Logging.h"
#include "WebSchemes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

/// Parses the arguments (after the program name) into fresh default parameters.
StartParameters parse(const QStringList& args)
{
    std::vector<QByteArray> storage{QByteArray("client")};
    for (const QString& a : args)
        storage.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    StartParameters params = StartParameters::defaults();
    parseCommandLine(params, static_cast<int>(argv.size()), argv.data());
    return params;
}

}

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Logging::minLogLevel = 1;
        delete Logging::logFilter;
        Logging::logFilter = nullptr;
    }

    void defaults()
    {
        const StartParameters p = parse({});
        QCOMPARE(p.port, quint16(4124));
        QVERIFY(p.useSsl);
        QCOMPARE(p.host, QStringLiteral("game.parlor7.example"));
        QCOMPARE(p.httpHost, QStringLiteral("www.parlor7.example"));
        QVERIFY(p.user.isEmpty());
        QVERIFY(p.lang.isNull());
        QVERIFY(!p.install);
        QVERIFY(p.searchPaths.isEmpty());
        QCOMPARE(Logging::minLogLevel, 1);
    }

    void portRules()
    {
        StartParameters p = parse({QStringLiteral("--nossl")});
        QCOMPARE(p.port, quint16(4123));
        QVERIFY(!p.useSsl);

        // An explicit port survives the no-TLS switch, whatever the order.
        p = parse({QStringLiteral("-n"), QStringLiteral("example.org:5000")});
        QCOMPARE(p.port, quint16(5000));
        QVERIFY(!p.useSsl);
        QCOMPARE(p.host, QStringLiteral("example.org"));

        p = parse({QStringLiteral("--host"), QStringLiteral("example.org:4124"), QStringLiteral("--nossl")});
        QCOMPARE(p.port, quint16(4124));

        p = parse({QStringLiteral("example.org")});
        QCOMPARE(p.port, quint16(4124));
        QVERIFY(p.useSsl);
    }

    void hostSetsHttpHostUnlessGiven()
    {
        StartParameters p = parse({QStringLiteral("play.example.org:99")});
        QCOMPARE(p.host, QStringLiteral("play.example.org"));
        QCOMPARE(p.httpHost, QStringLiteral("play.example.org"));

        p = parse({QStringLiteral("--httphost"), QStringLiteral("web.example.org"), QStringLiteral("play.example.org")});
        QCOMPARE(p.host, QStringLiteral("play.example.org"));
        QCOMPARE(p.httpHost, QStringLiteral("web.example.org"));

        p = parse({QStringLiteral("--httphost"), QStringLiteral("web.example.org")});
        QCOMPARE(p.host, QStringLiteral("game.parlor7.example"));
        QCOMPARE(p.httpHost, QStringLiteral("web.example.org"));
    }

    void badHostSpecifications()
    {
        try {
            parse({QStringLiteral("host:")});
            QFAIL("no exception");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("invalid port \"\""));
        }
        try {
            parse({QStringLiteral("a:b:c")});
            QFAIL("no exception");
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("invalid host+port specification \"a:b:c\""));
        }
        // A port is plain decimal digits: what toUInt() would forgive is still refused.
        for (const char* bad : {"h:-1", "h: 80", "h:+80", "h:80 ", "h:0x50", "h:\xd9\xa8\xd9\xa0"}) {
            try {
                parse({QString::fromUtf8(bad)});
                QFAIL(bad);
            } catch (const std::exception& e) {
                const QString port = QString::fromUtf8(bad).mid(2);
                QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("invalid port \"%1\"").arg(port));
            }
        }
        QVERIFY_THROWS_EXCEPTION(std::exception, parse({QStringLiteral("h:65536")}));
        QVERIFY_THROWS_EXCEPTION(std::exception, parse({QStringLiteral("a"), QStringLiteral("b")}));
        QVERIFY_THROWS_EXCEPTION(std::exception, parse({QStringLiteral("--nosuchoption")}));
        QCOMPARE(parse({QStringLiteral("h:65535")}).port, quint16(65535));
    }

    void credentialsAndLanguage()
    {
        const StartParameters p = parse({QStringLiteral("-u"), QStringLiteral("anna"), QStringLiteral("--password"),
                                         QStringLiteral("s3cret"), QStringLiteral("-l"), QStringLiteral("ja")});
        QCOMPARE(p.user, QStringLiteral("anna"));
        QCOMPARE(p.password, QStringLiteral("s3cret"));
        QCOMPARE(p.lang, QStringLiteral("ja"));
    }

    void searchPathDropsEmptyParts()
    {
        const StartParameters p = parse({QStringLiteral("-s"), QStringLiteral("/a;;/b;")});
        QCOMPARE(p.searchPaths, QStringList({QStringLiteral("/a"), QStringLiteral("/b")}));
    }

    void levelNamesIgnoreCase()
    {
        parse({QStringLiteral("-m"), QStringLiteral("WARNING")});
        QCOMPARE(Logging::minLogLevel, 1);
        parse({QStringLiteral("-m"), QStringLiteral("Debug")});
        QCOMPARE(Logging::minLogLevel, 0);
        parse({QStringLiteral("--minloglevel"), QStringLiteral("critical")});
        QCOMPARE(Logging::minLogLevel, 2);
        parse({QStringLiteral("-m"), QStringLiteral("FATAL")});
        QCOMPARE(Logging::minLogLevel, 3);
        QVERIFY(Logging::logFilter == nullptr);
    }

    void otherLevelTextIsAFilter()
    {
        parse({QStringLiteral("-m"), QStringLiteral("cm:.*join")});
        QCOMPARE(Logging::minLogLevel, 1);
        QVERIFY(Logging::logFilter != nullptr);
        QCOMPARE(Logging::logFilter->pattern(), QStringLiteral("cm:.*join"));
        // Case-sensitive.
        QVERIFY(!Logging::logFilter->match(QStringLiteral("CM: JOIN")).hasMatch());
        QVERIFY(Logging::logFilter->match(QStringLiteral("x cm: join")).hasMatch());
    }

    void invalidFilterIsACommandLineError()
    {
        QVERIFY_THROWS_EXCEPTION(CommandLineError, parse({QStringLiteral("-m"), QStringLiteral("[")}));
        QVERIFY(Logging::logFilter == nullptr);
    }

    void helpIsReported()
    {
        std::vector<QByteArray> storage{QByteArray("client"), QByteArray("--help"), QByteArray("--bogus-after-help")};
        std::vector<char*> argv;
        for (QByteArray& s : storage)
            argv.push_back(s.data());
        StartParameters p = StartParameters::defaults();
        // An unknown option is an error even with help.
        QVERIFY_THROWS_EXCEPTION(std::exception, parseCommandLine(p, 3, argv.data()));
        const CommandLineResult r = parseCommandLine(p, 2, argv.data());
        QVERIFY(r.helpRequested);
        QVERIFY(r.helpText.startsWith(QLatin1String("usage: client [options] [host:port]")));
        QVERIFY(r.helpText.contains(QLatin1String("-h [ --help ]")));
        QVERIFY(r.helpText.contains(QLatin1String("this help message")));
    }

    void installSwitch()
    {
        QVERIFY(parse({QStringLiteral("-i")}).install);
        QVERIFY(parse({QStringLiteral("--install")}).install);
    }

    void versionUrl_data()
    {
        QTest::addColumn<QString>("httpHost");
        QTest::addColumn<QString>("url");
        QTest::newRow("host") << "web.example.org" << "http://web.example.org:80/client/parlor7/client_versions.xml";
        QTest::newRow("host and port") << "127.0.0.1:8080" << "http://127.0.0.1:8080/client/parlor7/client_versions.xml";
        QTest::newRow("IPv6 and port") << "[::1]:8080" << "http://[::1]:8080/client/parlor7/client_versions.xml";
    }

    void versionUrl()
    {
        QFETCH(QString, httpHost);
        QFETCH(QString, url);
        QCOMPARE(defaultVersionUrl(httpHost).toString(), url);
    }

    void rootNeedsTheSandboxOff_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<bool>("variableSet");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<bool>("refused");
        QTest::newRow("user") << false << false << QByteArray() << false;
        QTest::newRow("root") << true << false << QByteArray() << true;
        QTest::newRow("root, sandbox off") << true << true << QByteArray() << false;
        QTest::newRow("root, engine flag") << true << false << QByteArray("--foo --no-sandbox") << false;
        QTest::newRow("root, other flags") << true << false << QByteArray("--no-sandboxes") << true;
    }

    void rootNeedsTheSandboxOff()
    {
        QFETCH(bool, root);
        QFETCH(bool, variableSet);
        QFETCH(QByteArray, flags);
        QFETCH(bool, refused);
        const QString why = WebSchemes::sandboxProblem(root, variableSet, flags);
        QCOMPARE(!why.isEmpty(), refused);
        if (refused)
            QVERIFY(why.contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")));
    }

    void searchPathsPutCommandLineFirst()
    {
        setupSearchPaths({QStringLiteral("/x"), QStringLiteral("/y")});
        QCOMPARE(QDir::searchPaths(QStringLiteral("resources")),
                 QStringList({QStringLiteral("/x"), QStringLiteral("/y"), QStringLiteral(":parlor7/"),
                              QStringLiteral(":default/")}));
        QCOMPARE(QDir::searchPaths(QStringLiteral("translations")),
                 QStringList({QStringLiteral("/x"), QStringLiteral("/y"), QStringLiteral("resources:/translations")}));
        QCOMPARE(QDir::searchPaths(QStringLiteral("avatars")),
                 QStringList({QStringLiteral("/x"), QStringLiteral("/y"), QStringLiteral("resources:avatars")}));
        // Sounds come from the command line's folders and the program's own,
        // never from folders relative to wherever the program was started.
        const QString own = QCoreApplication::applicationDirPath();
        QCOMPARE(QDir::searchPaths(QStringLiteral("sounds")),
                 QStringList({QStringLiteral("/x"), QStringLiteral("/y"), own + QStringLiteral("/sounds"),
                              own + QStringLiteral("/resources/external/sounds/wav"),
                              own + QStringLiteral("/resources/external/sounds/wma")}));
        QTemporaryDir elsewhere;
        const QString startedIn = QDir::currentPath();
        QVERIFY(QDir(elsewhere.path()).mkpath(QStringLiteral("sounds")));
        QFile planted(elsewhere.filePath(QStringLiteral("sounds/hover.wav")));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.close();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const bool found = QFileInfo::exists(QStringLiteral("sounds:/hover.wav"))
            && QFileInfo(QStringLiteral("sounds:/hover.wav")).absoluteFilePath() == planted.fileName();
        QVERIFY(QDir::setCurrent(startedIn));
        QVERIFY(!found);

        for (const char* prefix : {"resources", "translations", "sounds", "avatars"})
            QDir::setSearchPaths(QLatin1String(prefix), {});
        setupSearchPaths({});
        QCOMPARE(QDir::searchPaths(QStringLiteral("resources")),
                 QStringList({QStringLiteral(":parlor7/"), QStringLiteral(":default/")}));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
