// The wait cursor's owners: each request shows it once and only its own
// answer takes it back, whatever else comes meanwhile; another owner's
// cursor (here a cross) is never taken away.
#include "WaitCursor.h"

#include <QApplication>
#include <QTest>

namespace {

using R = WaitCursor::Request;

/// "begin join 5", "end watch 5", "endAll quick": one step of a row.
void step(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    const QString kind = parts.value(1);
    const R request = kind == QLatin1String("login")   ? R::Login
                      : kind == QLatin1String("join")  ? R::Join
                      : kind == QLatin1String("watch") ? R::Watch
                                                       : R::QuickJoin;
    const qint64 id = parts.value(2).toLongLong();
    if (parts[0] == QLatin1String("begin"))
        WaitCursor::instance().begin(request, id);
    else if (parts[0] == QLatin1String("end"))
        WaitCursor::instance().end(request, id);
    else
        WaitCursor::instance().endAll(request);
}

}

class TestWaitCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void owners_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("shown");
        QTest::newRow("answered") << QStringList{"begin join 5", "end join 5"} << 0;
        QTest::newRow("unanswered") << QStringList{"begin join 5"} << 1;
        QTest::newRow("asked again before the answer") << QStringList{"begin join 5", "begin join 5"} << 1;
        // The throttle lets the same join through again after 3 s: two answers, one cursor.
        QTest::newRow("sent again, answered twice")
            << QStringList{"begin join 5", "begin join 5", "end join 5", "end join 5"} << 0;
        QTest::newRow("answer of another table") << QStringList{"begin join 5", "end join 6"} << 1;
        QTest::newRow("answer of another kind") << QStringList{"begin join 5", "end watch 5"} << 1;
        QTest::newRow("answer never asked for") << QStringList{"end join 5", "end login 0"} << 0;
        QTest::newRow("two requests, one answered") << QStringList{"begin join 5", "begin watch 7", "end watch 7"} << 1;
        QTest::newRow("two requests, both answered")
            << QStringList{"begin join 5", "begin watch 7", "end join 5", "end watch 7"} << 0;
        QTest::newRow("quick joins ended together")
            << QStringList{"begin quick 1", "begin quick 2", "begin join 5", "endAll quick"} << 1;
        QTest::newRow("login then lobby") << QStringList{"begin login", "end login", "end login"} << 0;
    }

    void owners()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, shown);
        QApplication::setOverrideCursor(Qt::CrossCursor);
        for (const QString& s : steps)
            step(s);
        QCOMPARE(WaitCursor::instance().count(), shown);
        // Taking back what is still shown leaves exactly the other owner's
        // cross: every request pushed once and was popped at most once.
        WaitCursor::instance().clear();
        QCOMPARE(WaitCursor::instance().count(), 0);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(TestWaitCursor)

#include "tst_wait_cursor.moc"
