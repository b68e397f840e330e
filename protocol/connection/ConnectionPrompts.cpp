#include "ConnectionPrompts.h"

#include <QCoreApplication>
#include <QDebug>

bool HeadlessConnectionPrompts::askRetry(const QString& text)
{
    qWarning().noquote() << text;
    return false;
}

void HeadlessConnectionPrompts::showCritical(const QString& text)
{
    qWarning().noquote() << text;
}

void HeadlessConnectionPrompts::exit(int code)
{
    QCoreApplication::exit(code);
}
