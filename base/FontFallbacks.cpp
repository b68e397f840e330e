// The fallback fonts of a font, looked up one writing system a turn before
// a text needs them.
#include "FontFallbacks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QSet>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace {

/// Look-ups started and not ended yet.
int pending = 0;
/// Milliseconds between two writing systems.
constexpr int stepPause = 10;
/// A step's timer this late finds the event loop busy (a long list coming
/// in, a sort); the step waits for a quiet moment, at most busyWaitMsecs.
constexpr qint64 lateMsecs = 15;
constexpr int busyPause = 100;
constexpr qint64 busyWaitMsecs = 3000;
QtMessageHandler forwarded = nullptr;

/// Leaves out Qt's note on a font that claims a script but lacks its
/// tables, which a look-up writes for each such font it tries.
void withoutScriptNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("OpenType support missing")))
        return;
    forwarded(type, context, message);
}

/// Lays one sample out in the font per turn of the event loop (some tens of
/// milliseconds each): its shaping finds the fonts of the sample's script
/// for this thread's font cache. A step is left for a quiet moment when the
/// loop is busy: it would lengthen a turn that is long already.
class Preparation : public QObject
{
public:
    explicit Preparation(const QFont& font)
        : QObject(QCoreApplication::instance())
        , font(font)
        , left(FontFallbacks::samples())
    {
        ++pending;
        schedule(0);
    }

private:
    void schedule(int pause)
    {
        asked.start();
        QTimer::singleShot(pause, this, [this, pause] { step(pause); });
    }

    void step(int pause)
    {
        if (left.isEmpty()) {
            --pending;
            deleteLater();
            return;
        }
        if (asked.elapsed() > pause + lateMsecs && (!busySince.isValid() || !busySince.hasExpired(busyWaitMsecs))) {
            if (!busySince.isValid())
                busySince.start();
            schedule(busyPause);
            return;
        }
        busySince.invalidate();
        forwarded = qInstallMessageHandler(withoutScriptNotes);
        QTextLayout layout(left.takeFirst(), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        qInstallMessageHandler(forwarded);
        // Not due in the pass that ran this step: what waits gets its turn between two.
        schedule(stepPause);
    }

    QFont font;
    QStringList left;
    /// Since the next step was asked for; since steps were first put off.
    QElapsedTimer asked, busySince;
};

/// Calls its function when the widget first shows, then goes. A pane made
/// while the program starts waits for its window: the look-ups, tens of
/// milliseconds a turn, would hold back the windows before it.
class OnFirstShow : public QObject
{
public:
    OnFirstShow(QWidget* widget, std::function<void()> shown)
        : QObject(widget)
        , shown(std::move(shown))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            shown();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> shown;
};

} // namespace

namespace FontFallbacks {

QStringList samples()
{
    QStringList texts;
    for (int system = QFontDatabase::Latin; system < QFontDatabase::WritingSystemsCount; ++system)
        if (system != QFontDatabase::Symbol)
            texts << QFontDatabase::writingSystemSample(QFontDatabase::WritingSystem(system));
    return texts;
}

void prepare(const QFont& font)
{
    // Once per font: what the look-ups find is kept per size and style too.
    static QSet<QString> started;
    const QString key = font.key();
    if (started.contains(key))
        return;
    started.insert(key);
    new Preparation(font);
}

void prepareFor(QWidget* widget)
{
    // Not called when the widget is gone by then.
    const auto start = [widget] {
        QTimer::singleShot(0, widget, [widget] {
            widget->ensurePolished();
            prepare(widget->font());
        });
    };
    if (widget->isVisible())
        start();
    else
        new OnFirstShow(widget, start);
}

bool waitForPrepared(int msecs)
{
    QElapsedTimer timer;
    timer.start();
    while (pending > 0 && !timer.hasExpired(msecs))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return pending == 0;
}

} // namespace FontFallbacks
