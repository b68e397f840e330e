#include "JavascriptInterface.h"

#include <QDebug>

JavascriptInterface::JavascriptInterface(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("JavascriptInterface"));
}

bool JavascriptInterface::open(const QString& argument) const
{
    if (allowed && !allowed()) {
        qWarning().noquote() << "ignoring a call of the client object from a page that may not use it";
        return false;
    }
    if (argument.size() > maxArgumentLength) {
        qDebug().noquote() << "ignoring a call of the client object with a text of" << argument.size() << "characters";
        return false;
    }
    return true;
}

void JavascriptInterface::displayTab(const QString& tab)
{
    if (open(tab))
        Q_EMIT onDisplayTab(tab);
}

void JavascriptInterface::joinTable(const QString& adress)
{
    if (open(adress))
        Q_EMIT onJoinTable(adress);
}

void JavascriptInterface::launchBrowser(const QString& adress)
{
    if (open(adress))
        Q_EMIT onLaunchBrowser(adress);
}

void JavascriptInterface::displayTournament(qint32 tid)
{
    if (open())
        Q_EMIT onDisplayTournament(tid);
}

void JavascriptInterface::close()
{
    if (open())
        Q_EMIT onClose();
}
