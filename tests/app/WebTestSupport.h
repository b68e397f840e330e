#pragma once

// Helpers for the tests that load real pages in QtWebEngine.

#include "WebSchemes.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace WebTest {

/// Asks for `#n` (else 100) alerts, confirms and prompts, a password among
/// them, and would keep the player from leaving; says in its title (or its
/// parent's) what it was answered.
inline const QByteArray boxesPage =
    "<!DOCTYPE html>\n<html><head><title>Boxes</title></head><body><p>Boxes</p><script>\n"
    "var n = Number(location.hash.slice(1)) || 100, yes = 0, texts = 0;\n"
    "window.onbeforeunload = function (e) { e.preventDefault(); e.returnValue = 'stay'; return 'stay'; };\n"
    "for (var i = 0; i < n; ++i) {\n"
    "  alert('alert <b>' + i + '</b>');\n"
    "  if (confirm('Leave the table?')) ++yes;\n"
    "  var pw = prompt('Password for ' + location.origin, '');\n"
    "  if (pw !== null) { ++texts; new Image().src = '/leak?pw=' + encodeURIComponent(pw); }\n"
    "}\n"
    "var said = 'answered ' + yes + ' ' + texts;\n"
    "if (parent !== window) parent.postMessage(said, '*'); else document.title = said;\n"
    "</script></body></html>\n";

/// A page of the service with a frame of another host.
inline const QByteArray framedPage =
    "<!DOCTYPE html>\n<html><head><title>Framed</title></head><body>\n"
    "<script>window.addEventListener('message', function (e) { document.title = e.data; });</script>\n"
    "<iframe src=\"http://localhost:PORT/boxes.html\"></iframe></body></html>\n";

/// The search paths the program sets up for the compiled trees and the
/// English pages.
inline void useCompiledPages(const QString& language = QString())
{
    QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(":parlor7/"), QStringLiteral(":default/")});
    QStringList www;
    if (!language.isEmpty())
        www << QStringLiteral("resources:/www/") + language;
    www << QStringLiteral("resources:/www");
    QDir::setSearchPaths(QStringLiteral("localwww"), www);
}

/// Runs a script in the page and waits for its result. An answer that comes
/// after the wait (at the latest when the page goes) lands in state of its own.
inline QVariant run(QWebEnginePage* page, const QString& script, int timeoutMs = 5000)
{
    const auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [answer](const QVariant& v) { *answer = v; });
    QDeadlineTimer deadline(timeoutMs);
    while (!*answer && !deadline.hasExpired())
        QTest::qWait(10);
    return answer->value_or(QVariant());
}

/// Loads and waits for the end of the load; returns its success.
inline bool load(QWebEngineView* view, const QUrl& url, int timeoutMs = 15000)
{
    QSignalSpy finished(view, &QWebEngineView::loadFinished);
    view->load(url);
    if (!finished.wait(timeoutMs))
        return false;
    return finished.last().at(0).toBool();
}

/// A click of the player on the element with this id, scrolled into view.
inline void click(QWebEngineView* view, const char* id)
{
    const QVariantList r = run(view->page(), QStringLiteral("(function(){var e=document.getElementById('%1'); e.scrollIntoView();"
        "var r=e.getBoundingClientRect(); return [r.left + r.width/2, r.top + r.height/2];})()").arg(QLatin1String(id))).toList();
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(int(r.value(0).toDouble()), int(r.value(1).toDouble())));
}

/// Waits until page script can use the program object.
inline bool waitForClient(QWebEnginePage* page, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (run(page, QStringLiteral("typeof window.client === 'object' && window.client !== null")).toBool())
            return true;
        QTest::qWait(20);
    }
    return false;
}

}
