#include "JavascriptInterface.h"

#include <QDebug>

JavascriptInterface::JavascriptInterface(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("JavascriptInterface"));
}

void JavascriptInterface::refuse(const QString& why)
{
    if (lastRefusalSaid.isValid() && !lastRefusalSaid.hasExpired(1000)) {
        ++refusalsUnsaid;
        return;
    }
    QString line = QStringLiteral("ignoring a call of the client object ") + why;
    if (refusalsUnsaid > 0)
        line += QStringLiteral(" (%1 more calls ignored before)").arg(refusalsUnsaid);
    qWarning().noquote() << line;
    refusalsUnsaid = 0;
    lastRefusalSaid.start();
}

bool JavascriptInterface::open(const QString& argument, qsizetype limit, const char* what)
{
    if (allowed && !allowed()) {
        refuse(QStringLiteral("from a page that may not use it"));
        return false;
    }
    if (argument.size() > limit) {
        refuse(QStringLiteral("with %1 of %2 characters (at most %3)")
                   .arg(QLatin1String(what))
                   .arg(argument.size())
                   .arg(limit));
        return false;
    }
    return true;
}

void JavascriptInterface::displayTab(const QString& tab)
{
    if (open(tab, maxTabLength, "a tab"))
        Q_EMIT onDisplayTab(tab);
}

void JavascriptInterface::joinTable(const QString& adress)
{
    if (open(adress, maxPathLength, "a table path"))
        Q_EMIT onJoinTable(adress);
}

void JavascriptInterface::launchBrowser(const QString& adress)
{
    if (open(adress, maxAddressLength, "an address"))
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
