// The client version list: the document format, its errors with their exact
// texts and lines, the version triple and the running system's record.

#include "ClientVersion.h"
#include "SystemInfo.h"
#include "VersionList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>
#include <QXmlStreamReader>

namespace {

VersionList parse(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    return parseVersionList(reader);
}

QString parseError(const QByteArray& xml)
{
    try {
        parse(xml);
    } catch (const parse_error& e) {
        return QString::fromStdString(e.what());
    }
    return QString();
}

}

class TestVersionList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ownVersionIsTheProjects()
    {
        // The one place the version is written down is the project() line.
        QFile cmake(QStringLiteral(PARLOR_SOURCE_DIR "/CMakeLists.txt"));
        QVERIFY(cmake.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("project\\(\\w+ VERSION (\\d+\\.\\d+\\.\\d+)")).match(QString::fromUtf8(cmake.readAll()));
        QVERIFY(m.hasMatch());
        QCOMPARE(clientVersionString(), m.captured(1));
        version_t parsed;
        QVERIFY(parseVersion(m.captured(1), parsed));
        QVERIFY(parsed == clientVersion);
    }

    void ordering_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("newer");
        QTest::newRow("same") << "1.5.0" << false;
        QTest::newRow("patch") << "1.5.1" << true;
        QTest::newRow("minor") << "1.6.0" << true;
        QTest::newRow("major") << "2.0.0" << true;
        QTest::newRow("numeric not textual") << "1.10.0" << true;
        QTest::newRow("older") << "0.9.9" << false;
        QTest::newRow("older minor, higher patch") << "1.4.99" << false;
        QTest::newRow("low 16 bits kept") << "1.65541.0" << false; // 65541 keeps 5
        QTest::newRow("low 16 bits, newer") << "1.65542.0" << true;
    }
    void ordering()
    {
        QFETCH(QString, text);
        QFETCH(bool, newer);
        version_t v;
        QVERIFY(parseVersion(text, v));
        QCOMPARE(v > clientVersion, newer);
    }

    void invalidVersions_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("two parts") << QByteArray("1.5");
        QTest::newRow("four parts") << QByteArray("1.5.0.1");
        QTest::newRow("empty part") << QByteArray("1..5");
        QTest::newRow("letter") << QByteArray("1.5.x");
        QTest::newRow("sign") << QByteArray("1.-5.0");
        QTest::newRow("blank") << QByteArray("1. 5.0");
    }
    void invalidVersions()
    {
        QFETCH(QByteArray, version);
        // Even when the entry that would apply is another one, the whole list fails.
        const QByteArray xml = "<clients>\n"
                               "<client id=\"good\" version=\"2.0.0\" url=\"/a.exe\"/>\n"
                               "<client id=\"bad\" version=\"" + version + "\" url=\"/b.exe\"/>\n"
                               "</clients>";
        QCOMPARE(parseError(xml), QStringLiteral("parse error near line 3 : version attribute invalid"));
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("error");
        QTest::newRow("client id missing") << QByteArray("<l><client version=\"1.0.0\" url=\"u\"/></l>")
                                           << "parse error near line 1 : id attribute empty or missing";
        QTest::newRow("client id empty") << QByteArray("<l><client id=\"\" version=\"1.0.0\" url=\"u\"/></l>")
                                         << "parse error near line 1 : id attribute empty or missing";
        QTest::newRow("duplicate client on line 7")
            << QByteArray("<l>\n\n<client id=\"a\" version=\"1.0.0\" url=\"u\"/>\n\n\n\n"
                          "<client id=\"a\" version=\"1.0.0\" url=\"u\"/></l>")
            << "parse error near line 7 : duplicate client id";
        QTest::newRow("version missing") << QByteArray("<l><client id=\"a\" url=\"u\"/></l>")
                                         << "parse error near line 1 : version attribute empty or missing";
        QTest::newRow("url missing") << QByteArray("<l><client id=\"a\" version=\"1.0.0\"/></l>")
                                     << "parse error near line 1 : url attribute empty or missing";
        QTest::newRow("description id unknown")
            << QByteArray("<l><client id=\"a\" version=\"1.0.0\" url=\"u\">\n"
                          "<description clientdescriptionid=\"later\"/></client>\n"
                          "<clientdescription id=\"later\">x</clientdescription></l>")
            << "parse error near line 2 : client description id not found";
        QTest::newRow("clientdescription id missing")
            << QByteArray("<l><clientdescription>x</clientdescription></l>")
            << "parse error near line 1 : id attribute empty or missing";
        QTest::newRow("duplicate clientdescription")
            << QByteArray("<l><clientdescription id=\"d\">x</clientdescription>\n"
                          "<clientdescription id=\"d\">y</clientdescription></l>")
            << "parse error near line 2 : duplicate client description id";
        QTest::newRow("platform base missing") << QByteArray("<l><platform/></l>")
                                               << "parse error near line 1 : base attribute empty or missing";
        QTest::newRow("os name missing")
            << QByteArray("<l><client id=\"a\" version=\"1.0.0\" url=\"u\"/><platform base=\"linux\">"
                          "<os clientid=\"a\"/></platform></l>")
            << "parse error near line 1 : name attribute empty or missing";
        QTest::newRow("os clientid missing")
            << QByteArray("<l><platform base=\"linux\"><os name=\"debian\"/></platform></l>")
            << "parse error near line 1 : clientId attribute empty or missing";
        QTest::newRow("os before its client")
            << QByteArray("<l><platform base=\"linux\">\n<os name=\"debian\" clientid=\"a\"/></platform>\n"
                          "<client id=\"a\" version=\"1.0.0\" url=\"u\"/></l>")
            << "parse error near line 2 : client id not found";
        QTest::newRow("malformed") << QByteArray("<l><client></l>") << QString();
        QTest::newRow("unexpected end") << QByteArray("<l><client id=\"a\" version=\"1.0.0\" url=\"u\">") << QString();
        QTest::newRow("element inside description")
            << QByteArray("<l><client id=\"a\" version=\"1.0.0\" url=\"u\"><description>x<b>y</b></description>"
                          "</client></l>")
            << QString();
    }
    void errors()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, error);
        const QString text = parseError(xml);
        if (error.isEmpty()) // the reader's own message
            QVERIFY2(text.startsWith(QLatin1String("parse error near line ")), qPrintable(text));
        else
            QCOMPARE(text, error);
    }

    void fullDocument()
    {
        const QByteArray xml = 
            "<?xml version=\"1.0\"?>\n"
            "<versions xmlns=\"urn:example:parlor\">\n"
            "  <clientdescription id=\"common\">Shared &lt;b&gt;notes&lt;/b&gt;. </clientdescription>\n"
            "  <unknown><client-ish>ignored</client-ish></unknown>\n"
            "  <description>outside any client is passed over</description>\n"
            "  <os name=\"orphan\" clientid=\"nothing\"/>\n"
            "  <client id=\"win\" version=\"1.6.0\" url=\"/download/setup.exe\" required=\"true\">\n"
            "    <description clientdescriptionid=\"common\">Windows</description>\n"
            "    <description> and more</description>\n"
            "  </client>\n"
            "  <client id=\"lin\" version=\"1.5.2\" url=\"https://cdn.example/parlor/setup.run\" required=\"TRUE\"/>\n"
            "  <client id=\"old\" version=\"1.0.0\" url=\"/old.exe\" required=\"yes\"/>\n"
            "  <platform base=\"windows\">\n"
            "    <os name=\"xp\" clientid=\"win\"/>\n"
            "    <os name=\"xp\" clientid=\"old\"/>\n"
            "  </platform>\n"
            "  <platform base=\"linux\"><os name=\"debian\" version=\"12\" clientid=\"lin\"/></platform>\n"
            "  <platform base=\"linux\"><os name=\"debian\" clientid=\"old\"/></platform>\n"
            "</versions>\n";
        const VersionList list = parse(xml);
        QCOMPARE(list.clients.size(), 3);
        const client_entry_t win = list.clients.value(QStringLiteral("win"));
        QCOMPARE(win.description, QStringLiteral("Shared <b>notes</b>. Windows and more"));
        QVERIFY(win.required);
        QVERIFY(!list.clients.value(QStringLiteral("lin")).required); // only exactly "true"
        QVERIFY(!list.clients.value(QStringLiteral("old")).required);
        QCOMPARE(list.entries(QStringLiteral("windows")).size(), size_t(2));
        QCOMPARE(list.entries(QStringLiteral("windows"))[0].clientid, QStringLiteral("win"));
        const auto& onLinux = list.entries(QStringLiteral("linux"));
        QCOMPARE(onLinux.size(), size_t(2)); // two platform elements, one base, document order
        QCOMPARE(onLinux[0].version, QStringLiteral("12"));
        QCOMPARE(onLinux[1].clientid, QStringLiteral("old"));
        QVERIFY(list.entries(QStringLiteral("mac")).empty());
    }

    void systemTexts()
    {
        system_info_t unknown;
        QCOMPARE(unknown.platformText(), QStringLiteral("unknown"));
        QCOMPARE(unknown.osText(), QString());
        QCOMPARE(unknown.osVersionText(), QString());

        system_info_t win;
        win.platform = platform_t::windows;
        win.os = win_2003;
        QCOMPARE(win.platformText(), QStringLiteral("windows"));
        QCOMPARE(win.osText(), QStringLiteral("2003"));
        // A code outside the table, though within what the type can hold.
        win.os = windows_version_t(7);
        QCOMPARE(win.osText(), QString());

        system_info_t mac;
        mac.platform = platform_t::mac;
        mac.os = mac_os_x;
        mac.os_version = mac_10_4;
        QCOMPARE(mac.platformText(), QStringLiteral("mac"));
        QCOMPARE(mac.osText(), QStringLiteral("os x"));
        QCOMPARE(mac.osVersionText(), QStringLiteral("10.4"));

        system_info_t other;
        other.platform = 7;
        QCOMPARE(other.platformText(), QStringLiteral("unknown"));
    }

    void runningSystem()
    {
#ifdef Q_OS_LINUX
        // The record names this machine as os-release does, read here on its own.
        QFile release(QStringLiteral("/etc/os-release"));
        if (!release.open(QIODevice::ReadOnly))
            QSKIP("no /etc/os-release");
        QMap<QString, QString> fields;
        for (const QByteArray& line : release.readAll().split('\n')) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0)
                fields.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)).remove(u'"'));
        }
        const system_info_t info = currentSystemInfo();
        QCOMPARE(info.platformText(), QStringLiteral("linux"));
        QCOMPARE(info.osText(), fields.value(QStringLiteral("ID")));
        QCOMPARE(info.osVersionText(), fields.value(QStringLiteral("VERSION_ID")));
#endif
    }

    void manyPlatformsReadInLinearTime()
    {
        // Every os entry under a base of its own: a search of all bases for
        // each entry takes minutes for this list; the index takes a moment.
        const int count = 80000;
        QByteArray xml = "<l><client id=\"c\" version=\"1.0.0\" url=\"u\"/>";
        for (int i = 0; i < count; ++i)
            xml += "<platform base=\"b" + QByteArray::number(i) + "\"><os name=\"n\" clientid=\"c\"/></platform>";
        xml += "</l>";
        QElapsedTimer clock;
        clock.start();
        const VersionList list = parse(xml);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(list.platforms.size(), size_t(count));
        QCOMPARE(list.platforms.back().first, QStringLiteral("b%1").arg(count - 1));
        QCOMPARE(list.entries(QStringLiteral("b%1").arg(count / 2)).size(), size_t(1));
    }

    void sharedDescriptionCannotMultiply()
    {
        // A 100 kB description referenced a hundred times would be 10 MB of
        // text from a document of little more than 100 kB.
        QByteArray xml = "<l><clientdescription id=\"d\">" + QByteArray(100000, 'x')
            + "</clientdescription><client id=\"c\" version=\"1.0.0\" url=\"u\">";
        for (int i = 0; i < 100; ++i)
            xml += "<description clientdescriptionid=\"d\"/>";
        xml += "</client></l>";
        QVERIFY2(parseError(xml).endsWith(QLatin1String(" : client description too long")), qPrintable(parseError(xml).right(60)));
    }
};

QTEST_GUILESS_MAIN(TestVersionList)
#include "tst_versionlist.moc"
