// The fallback fonts of a font, looked up on a worker thread before a text needs them.
#include "FontFallbacks.h"

#include <QFont>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QTextLayout>
#include <QThreadPool>
#include <QTimer>
#include <QWaitCondition>
#include <QWidget>

#include <vector>

namespace {

QMutex pendingMutex;
QWaitCondition pendingDone;
int pending = 0;

/// Lays the sample out in a font made anew from the description: the
/// shaping asks for the fallback fonts of every script in it.
void lookUp(const QString& description, const QStringList& families)
{
    QFont font;
    font.fromString(description);
    font.setFamilies(families);
    QTextLayout layout(FontFallbacks::scriptSample(), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QMutexLocker locker(&pendingMutex);
    if (--pending == 0)
        pendingDone.wakeAll();
}

} // namespace

namespace FontFallbacks {

QString scriptSample()
{
    std::vector<bool> seen(QChar::ScriptCount, false);
    QString sample;
    for (char32_t c = 0x41; c < 0x20000; ++c) {
        const QChar::Script script = QChar::script(c);
        if (seen[std::size_t(script)] || script <= QChar::Script_Common || !QChar::isLetter(c))
            continue;
        seen[std::size_t(script)] = true;
        sample += QString::fromUcs4(&c, 1);
    }
    return sample;
}

void prepare(const QFont& font)
{
    // The answers are kept by families, style and script, whatever the size.
    static QSet<QString> started;
    const QStringList families = font.families().isEmpty() ? QStringList{font.family()} : font.families();
    const QString key = families.join(QLatin1Char(',')) + QLatin1Char('/') + QString::number(font.style())
                        + QLatin1Char('/') + QString::number(font.styleHint());
    if (started.contains(key))
        return;
    started.insert(key);
    {
        const QMutexLocker locker(&pendingMutex);
        ++pending;
    }
    // The global pool, which the application waits for when it ends.
    QThreadPool::globalInstance()->start([description = font.toString(), families] { lookUp(description, families); });
}

void prepareFor(QWidget* widget)
{
    // Not called when the widget is gone by then.
    QTimer::singleShot(0, widget, [widget] {
        widget->ensurePolished();
        prepare(widget->font());
    });
}

bool waitForPrepared(int msecs)
{
    QMutexLocker locker(&pendingMutex);
    while (pending > 0)
        if (!pendingDone.wait(&pendingMutex, msecs))
            return pending == 0;
    return true;
}

} // namespace FontFallbacks
