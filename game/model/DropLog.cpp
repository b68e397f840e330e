#include "DropLog.h"

#include "GameLog.h"

DropLog::DropLog(qint32 tableId)
    : m_tableId(tableId)
{
    m_second.setSingleShot(true);
    m_second.setInterval(1000);
    QObject::connect(&m_second, &QTimer::timeout, [this] { logCounts(); });
}

DropLog::~DropLog()
{
    logCounts();
}

void DropLog::drop(const char* event, const QString& why)
{
    if (!m_second.isActive())
        m_second.start();
    Kind& kind = m_kinds[event];
    if (kind.lines < linesOfAKind) {
        ++kind.lines;
        qCWarning(lcGame).noquote()
            << QStringLiteral("table %1: dropped %2 from the server: %3").arg(m_tableId).arg(QLatin1String(event), why);
        return;
    }
    ++kind.counted;
    kind.lastWhy = why;
}

void DropLog::logCounts()
{
    for (const auto& [event, kind] : m_kinds) {
        if (kind.counted == 0)
            continue;
        qCWarning(lcGame).noquote() << QStringLiteral("table %1: dropped %2 more %3 from the server within a second; "
                                                      "the last: %4")
                                           .arg(m_tableId)
                                           .arg(kind.counted)
                                           .arg(QString::fromStdString(event), kind.lastWhy);
    }
    m_kinds.clear();
}
