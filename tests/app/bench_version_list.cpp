// Measures the version check against hostile answers: the peak memory of a
// check whose reply body never ends, and the time to read a 10 MB list.
// Prints figures beside their goals and a floor measured in the same run;
// never fails on timing.

#include "ProcessMemory.h"
#include "HttpTestServer.h"
#include "VersionChecker.h"
#include "VersionList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QXmlStreamReader>

#include <cstdio>

namespace {

using processmemory::statusKb;

QByteArray tenMegabyteList()
{
    QByteArray xml = "<versions>";
    for (int i = 0; i < 200; ++i)
        xml += "<client id=\"c" + QByteArray::number(i) + "\" version=\"1." + QByteArray::number(i)
            + ".0\" url=\"/c.run\"><description>Notes for this build.</description></client>";
    for (int i = 0; xml.size() < 10 * 1024 * 1024; ++i)
        xml += "<platform base=\"base" + QByteArray::number(i) + "\"><os name=\"debian\" version=\""
            + QByteArray::number(i % 40) + "\" clientid=\"c" + QByteArray::number(i % 200) + "\"/></platform>\n";
    xml += "</versions>";
    return xml;
}

double bestSeconds(int rounds, const std::function<void()>& work)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    // 1. Memory against a reply body that never ends.
    {
        HttpTestServer server;
        if (!server.isRunning()) {
            std::printf("endless body: no test server (python3 missing?), skipped\n");
        } else {
            const qint64 before = statusKb("VmHWM:");
            VersionChecker checker;
            system_info_t system;
            system.platform = platform_t::linux_desktop;
            system.os = linux_os_t{QStringLiteral("debian")};
            system.os_version = linux_version_t{QStringLiteral("12")};
            checker.setSystemInfo(system);
            checker.setUrl(QUrl(server.base() + QStringLiteral("/endless/client_versions.xml")));
            QSignalSpy finished(&checker, &VersionChecker::finished);
            QElapsedTimer clock;
            clock.start();
            checker.check();
            finished.wait(20000);
            const qint64 after = statusKb("VmHWM:");
            const double peakMb = after / 1024.0;
            const double growthMb = (after - before) / 1024.0;
            std::printf("endless body: check %s after %.2f s\n",
                finished.isEmpty() ? "still running" : "ended as failed", clock.elapsed() / 1000.0);
            std::printf("  peak resident size of the process %.1f MB, goal under 100 MB: %.2f of the goal\n", peakMb,
                peakMb / 100.0);
            std::printf("  of which during the check %.1f MB: %.2f times the %.1f MB size limit of a list\n",
                growthMb, growthMb / (VersionChecker::maxListSize / 1048576.0),
                VersionChecker::maxListSize / 1048576.0);
        }
    }

    // 2. Reading a 10 MB list, against the XML reader alone on the same bytes.
    {
        const QByteArray xml = tenMegabyteList();
        std::size_t bases = 0;
        const double parse = bestSeconds(3, [&] {
            QXmlStreamReader reader(xml);
            bases = parseVersionList(reader).platforms.size();
        });
        const double tokens = bestSeconds(3, [&] {
            QXmlStreamReader reader(xml);
            while (!reader.atEnd())
                reader.readNext();
        });
        std::printf("10 MB list (%.1f MB, %zu platform bases): read in %.3f s, goal under 1 s: %.2f of the goal\n",
            xml.size() / 1048576.0, bases, parse, parse / 1.0);
        std::printf("  XML tokens alone %.3f s: the list reader takes %.2f times the floor\n", tokens, parse / tokens);
    }
    return 0;
}
