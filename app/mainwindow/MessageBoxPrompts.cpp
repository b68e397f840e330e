#include "MessageBoxPrompts.h"

#include "Logging.h"

#include <QApplication>
#include <QDebug>
#include <QMessageBox>

bool MessageBoxPrompts::canShowBoxes()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool MessageBoxPrompts::askRetry(const QString& text)
{
    if (!canShowBoxes()) {
        qWarning() << "connection:" << text;
        return false;
    }
    QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("ConnectionManager", "Error"), text,
                    QMessageBox::Retry | QMessageBox::Abort);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Retry;
}

void MessageBoxPrompts::showCritical(const QString& text)
{
    Logging::showBlockingCritical(QCoreApplication::translate("ConnectionManager", "Error"), text);
}

void MessageBoxPrompts::exit(int code)
{
    QCoreApplication::exit(code);
}
