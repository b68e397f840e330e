#pragma once

// Collects the program's log messages while it lives, so that a test can
// check the exact lines a component writes.

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

class LogCapture
{
public:
    LogCapture()
    {
        current() = this;
        previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous);
        current() = nullptr;
    }

    QStringList lines(QtMsgType type) const
    {
        QMutexLocker lock(&mutex);
        QStringList result;
        for (const auto& [t, text] : messages) {
            if (t == type)
                result << text;
        }
        return result;
    }
    QStringList linesStartingWith(QtMsgType type, const QString& prefix) const
    {
        QStringList result;
        for (const QString& line : lines(type)) {
            if (line.startsWith(prefix))
                result << line;
        }
        return result;
    }
    void clear()
    {
        QMutexLocker lock(&mutex);
        messages.clear();
    }

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (LogCapture* c = current()) {
            QMutexLocker lock(&c->mutex);
            c->messages.append({type, text});
        }
        if (type == QtFatalMsg)
            abort();
        Q_UNUSED(context);
    }

    mutable QMutex mutex;
    QList<QPair<QtMsgType, QString>> messages;
    QtMessageHandler previous = nullptr;
};
