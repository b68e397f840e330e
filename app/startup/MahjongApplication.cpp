#include "MahjongApplication.h"

#include "Logging.h"
#include "ResourceFile.h"
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

namespace {

/// The style sheet with the name in every "url(...)" replaced by the regular
/// file it stands for, or by nothing: the style engine would open whatever
/// stands at the name itself, a FIFO too. One pass over the text, however
/// it is written.
QString withPictureFiles(const QString& sheet)
{
    static const QString opening = QStringLiteral("url(");
    QString out;
    qsizetype done = 0;
    for (qsizetype at = sheet.indexOf(opening, 0, Qt::CaseInsensitive); at >= 0;
         at = sheet.indexOf(opening, done, Qt::CaseInsensitive)) {
        qsizetype from = at + opening.size();
        while (from < sheet.size() && sheet.at(from).isSpace())
            ++from;
        const QChar quote = from < sheet.size() ? sheet.at(from) : QChar();
        const bool quoted = quote == QLatin1Char('"') || quote == QLatin1Char('\'');
        const qsizetype end = quoted ? sheet.indexOf(quote, from + 1) : sheet.indexOf(QLatin1Char(')'), from);
        const qsizetype close = end < 0 ? -1 : sheet.indexOf(QLatin1Char(')'), end);
        if (close < 0)
            break;
        const QString name = quoted ? sheet.mid(from + 1, end - from - 1) : sheet.mid(from, end - from).trimmed();
        QString file = ResourceFile::path(name);
        file.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        out += QStringView(sheet).mid(done, at - done);
        out += QLatin1String("url(\"") + file + QLatin1String("\")");
        done = close + 1;
    }
    out += QStringView(sheet).mid(done);
    return out;
}

} // namespace

QString MahjongApplication::styleSheetText()
{
    return withPictureFiles(readTextFile(QStringLiteral("resources:/defaultui.css"))
                            + readTextFile(QStringLiteral("resources:/customui.css")));
}

void MahjongApplication::loadStyleSheet()
{
    setStyleSheet(QString());
    setStyleSheet(styleSheetText());
}
