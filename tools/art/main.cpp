// parlor-art: Qt helper of tools/art/make_art.py.
//   parlor-art glyphs REQUEST.json OUT.json   outline texts as SVG path data
//   parlor-art render JOBS.json               run render jobs (see SheetRenderer)
//   parlor-art contact RESOURCE_DIR OUT.png   write the contact sheet of tiles
#include "ContactSheet.h"
#include "GlyphOutlines.h"
#include "SheetRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

QJsonDocument readJson(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "parlor-art: cannot open %s\n", qPrintable(path));
        return {};
    }
    return QJsonDocument::fromJson(f.readAll());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("glyphs")) {
        const QJsonObject result = GlyphOutlines::outline(readJson(args[2]).array());
        QFile f(args[3]);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        f.write(QJsonDocument(result).toJson(QJsonDocument::Compact));
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("render")) {
        int failures = 0;
        for (const QJsonValue& job : readJson(args[2]).array())
            failures += SheetRenderer::run(job.toObject()) ? 0 : 1;
        return failures ? 1 : 0;
    }
    if (args.size() == 4 && args[1] == QLatin1String("contact"))
        return ContactSheet::write(args[2], args[3]) ? 0 : 1;
    std::fprintf(stderr, "usage: parlor-art glyphs REQ OUT | render JOBS | contact DIR OUT\n");
    return 2;
}
