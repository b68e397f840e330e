#pragma once

#include <QString>
#include <QTimer>

#include <map>
#include <string>

/// The log of what the server said about one table that was dropped. Of one
/// kind of event (a discard, a claim offer) the first lines go to the log as
/// they come; past them, until a second is over, the drops of that kind are
/// only counted, and the count goes to the log in one line: a flood of
/// faulty frames costs the log a few lines, not one for each.
class DropLog
{
public:
    explicit DropLog(qint32 tableId);
    /// Logs the counts still open.
    ~DropLog();
    DropLog(const DropLog&) = delete;
    DropLog& operator=(const DropLog&) = delete;

    /// An event of the kind was dropped, for the reason `why`.
    void drop(const char* event, const QString& why);

    /// The lines of one kind logged one by one within a second.
    static constexpr int linesOfAKind = 10;

private:
    struct Kind
    {
        int lines = 0;
        int counted = 0;
        QString lastWhy;
    };
    void logCounts();

    qint32 m_tableId;
    std::map<std::string, Kind> m_kinds;
    QTimer m_second;
};
