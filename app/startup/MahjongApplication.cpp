#include "MahjongApplication.h"

#include "Logging.h"
#include "Utils.h"

#include <server_error.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QMainWindow>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>

#include <exception>

MahjongApplication::MahjongApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    installEventFilter(this);

    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(128, 128, 128, 0)));
    setPalette(pal);
}

MahjongApplication::~MahjongApplication() = default;

bool MahjongApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const server_error& e) {
        const QString text = tr("Invalid server data.\nRefused with message: %1").arg(QString::fromStdString(e.what()));
        Logging::fatal(text);
    } catch (const std::exception& e) {
        const QString text = tr("Unhandled Runtime Error.\nError text: %1").arg(QString::fromStdString(e.what()));
        Logging::fatal(text);
    } catch (...) {
        const QString text = tr("Unhandled Runtime Error.");
        Logging::fatal(text);
    }
    return false;
}

bool MahjongApplication::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && !firstWindowShown && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->isWindow()) {
        // Marks the end of the start-up in the debug log (tools/measure-startup.sh).
        firstWindowShown = true;
        qDebug() << "first window shown:" << watched->metaObject()->className();
    }
    if (type == QEvent::Show && !mainWindowShown && qobject_cast<QMainWindow*>(watched) != nullptr) {
        // The window the user works in is up (tools/measure-startup.sh).
        mainWindowShown = true;
        qDebug() << "main window shown:" << watched->metaObject()->className();
    }
    if (type == QEvent::HoverEnter || type == QEvent::HoverLeave) {
        const bool hoverStyled = qobject_cast<QAbstractButton*>(watched) != nullptr
            || qobject_cast<QScrollBar*>(watched) != nullptr || qobject_cast<QTabBar*>(watched) != nullptr
            || qobject_cast<QComboBox*>(watched) != nullptr || qobject_cast<QHeaderView*>(watched) != nullptr;
        if (!hoverStyled)
            return true;
    }
    return QApplication::eventFilter(watched, event);
}

QString MahjongApplication::styleSheetText()
{
    return readTextFile(QStringLiteral("resources:/defaultui.css")) + readTextFile(QStringLiteral("resources:/customui.css"));
}

void MahjongApplication::loadStyleSheet()
{
    setStyleSheet(QString());
    setStyleSheet(styleSheetText());
}
