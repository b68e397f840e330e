// The floor for tools/measure-startup.sh: the smallest Qt widgets program that
// shows a window. It does nothing else.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>

namespace {

/// Reports the first Show of a top-level window on standard error, as the
/// client reports it in its debug log.
class FirstShow : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            std::fprintf(stderr, "first window shown\n");
            std::fflush(stderr);
            qApp->removeEventFilter(this);
        }
        return false;
    }
};

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstShow firstShow;
    app.installEventFilter(&firstShow);
    QWidget window;
    window.resize(480, 320);
    window.show();
    return app.exec();
}
