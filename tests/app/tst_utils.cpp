#include "MachineId.h"
#include "Utils.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class TestUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void money_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("$0");
        QTest::newRow("150") << qint64(150) << QStringLiteral("$1.50");
        QTest::newRow("whole thousand") << qint64(100000) << QStringLiteral("$1,000");
        QTest::newRow("one cent") << qint64(1) << QStringLiteral("$0.01");
        QTest::newRow("negative") << qint64(-150) << QStringLiteral("$-1.50");
        QTest::newRow("negative whole") << qint64(-200) << QStringLiteral("$-2");
        QTest::newRow("large") << qint64(123456789) << QStringLiteral("$1,234,567.89");
        QTest::newRow("beyond 32 bits") << qint64(500000000000) << QStringLiteral("$5,000,000,000");
        // Past 2^53 cents a double is a cent off.
        QTest::newRow("past 90 trillion") << qint64(9007199254740993) << QStringLiteral("$90,071,992,547,409.93");
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << QStringLiteral("$92,233,720,368,547,758.07");
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << QStringLiteral("$-92,233,720,368,547,758.08");
    }

    void money()
    {
        QFETCH(qint64, cents);
        QFETCH(QString, text);
        QCOMPARE(formatMoney(cents), text);
    }

    void moneyFollowsTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(formatMoney(150), QStringLiteral("$1,50"));
        QCOMPARE(formatMoney(100000), QStringLiteral("$1.000"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void durations_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("0 second(s)");
        QTest::newRow("59") << 59 << QStringLiteral("59 second(s)");
        QTest::newRow("60") << 60 << QStringLiteral("1 min(s)");
        QTest::newRow("3599") << 3599 << QStringLiteral("59 min(s)");
        QTest::newRow("3600") << 3600 << QStringLiteral("1h");
        QTest::newRow("day and an hour") << 86400 + 3600 + 5 << QStringLiteral("1 day(s)");
        QTest::newRow("negative") << -1 << QStringLiteral("<unknown>");
        QTest::newRow("negative minutes") << -125 << QStringLiteral("<unknown>");
        QTest::newRow("largest count") << std::numeric_limits<int>::max() << QStringLiteral("<unknown>");
    }

    void durations()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(formatDuration(seconds), text);
    }

    void durationBetween()
    {
        const QDateTime a = QDateTime(QDate(2024, 1, 1), QTime(10, 0), Qt::UTC);
        QCOMPARE(formatDurationBetween(a, a.addSecs(7200)), QStringLiteral("2h"));
        QCOMPARE(formatDurationBetween(a, a.addMSecs(1999)), QStringLiteral("1 second(s)"));
        // From 1970 to 2106: more seconds than an int holds.
        QCOMPARE(formatDurationBetween(QDateTime::fromSecsSinceEpoch(1), QDateTime::fromSecsSinceEpoch(0xffffffffLL)),
                 QStringLiteral("<unknown>"));
    }

    void truncation()
    {
        QCOMPARE(truncateText(QStringLiteral("abcdefghij"), 4), QStringLiteral("abcd..."));
        QCOMPARE(truncateText(QStringLiteral("abcdefghij"), 10), QStringLiteral("abcdefghij"));
        QCOMPARE(truncateText(QString(), 0), QString());
    }

    void middleShortening()
    {
        // 20 characters to 10: 0..3 and 16..19 around "...".
        QCOMPARE(elideMiddle(QStringLiteral("ABCDEFGHIJKLMNOPQRST"), 10), QStringLiteral("ABCD...QRST"));
        QCOMPARE(elideMiddle(QStringLiteral("short"), 10), QStringLiteral("short"));
        QCOMPARE(elideMiddle(QStringLiteral("ABCDEFGHIJ"), 10), QStringLiteral("ABCDEFGHIJ"));
        // Tiny limits never index out of the text.
        QCOMPARE(elideMiddle(QStringLiteral("ABCDEFGHIJ"), 0), QStringLiteral("..."));
        QCOMPARE(elideMiddle(QStringLiteral("ABCDEFGHIJK"), 5), QStringLiteral("A...JK"));
    }

    void pixelShortening()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 10);
        const QFontMetrics fm(font);
        const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog");
        const auto width = [&fm](const QString& s) {
            const QRect r = fm.boundingRect(s);
            return r.right() - r.left() + 1;
        };
        const int full = width(text);
        QCOMPARE(elideText(fm, text, Qt::ElideMiddle, full), text);
        QCOMPARE(elideText(fm, QStringLiteral("W"), Qt::ElideRight, 1), QStringLiteral("W"));

        for (Qt::TextElideMode mode : {Qt::ElideLeft, Qt::ElideRight, Qt::ElideMiddle}) {
            const QString e = elideText(fm, text, mode, full / 2);
            QVERIFY2(width(e) <= full / 2, qPrintable(e));
            QVERIFY(e.contains(QLatin1String("...")));
            QVERIFY(e.size() > 5);
        }
        const QString right = elideText(fm, text, Qt::ElideRight, full / 2);
        QVERIFY(right.endsWith(QLatin1String("...")) && text.startsWith(right.chopped(3)));
        const QString left = elideText(fm, text, Qt::ElideLeft, full / 2);
        QVERIFY(left.startsWith(QLatin1String("...")) && text.endsWith(left.mid(3)));
        const QString middle = elideText(fm, text, Qt::ElideMiddle, full / 2);
        const int dots = middle.indexOf(QLatin1String("..."));
        QVERIFY(text.startsWith(middle.left(dots)) && text.endsWith(middle.mid(dots + 3)));
        QCOMPARE(elideText(fm, text, Qt::ElideNone, 10), text);
        // Nothing fits: only the ellipsis remains.
        QCOMPARE(elideText(fm, text, Qt::ElideRight, 1), QStringLiteral("..."));
    }

    void placeholders()
    {
        QCOMPARE(notAvailableText(), QStringLiteral("N/A"));
        QCOMPARE(unknownText(), QStringLiteral("<unknown>"));
        QCOMPARE(undefinedText(), QStringLiteral("<undefined>"));
    }

    void checkState()
    {
        QSettings s;
        s.setValue(QStringLiteral("game/sound"), false);
        QCOMPARE(settingsCheckState(s, "game/sound", true), Qt::Unchecked);
        QCOMPARE(settingsCheckState(s, "game/absent", true), Qt::Checked);
        QCOMPARE(settingsCheckState(s, "game/absent", false), Qt::Unchecked);
        s.setValue(QStringLiteral("game/animations"), QStringLiteral("true"));
        QCOMPARE(settingsCheckState(s, "game/animations", false), Qt::Checked);
        for (const QVariant& damaged : {QVariant(QString()), QVariant(QStringLiteral("ja")), QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")})}) {
            s.setValue(QStringLiteral("game/damaged"), damaged);
            QCOMPARE(settingsCheckState(s, "game/damaged", true), Qt::Checked);
            QCOMPARE(settingsSwitch(s, "game/damaged", false), false);
        }
    }

    void textFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.css"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("line 1\r\nline 2 \xc3\xa9\n");
        f.close();
        QCOMPARE(readTextFile(path), QStringLiteral("line 1\nline 2 é\n"));
        QCOMPARE(readTextFile(dir.filePath(QStringLiteral("missing"))), QString());
    }

    void mainWindowLookup()
    {
        QCOMPARE(findMainWindow(), nullptr);
        QWidget plain;
        QMainWindow main;
        QCOMPARE(findMainWindow(), &main);
    }

    void machineIdentifier()
    {
        const QByteArray empty = QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha1).toBase64();
        QCOMPARE(QByteArray::fromStdString(machineIdFromAddresses({})), empty);
        QCOMPARE(QByteArray::fromStdString(machineIdFromAddresses({QString()})), empty);
        const QString a = QStringLiteral("00:1A:2B:3C:4D:5E");
        const QString b = QStringLiteral("52:54:00:12:34:56");
        const QByteArray ab = QCryptographicHash::hash((a + b).toLatin1(), QCryptographicHash::Sha1).toBase64();
        QCOMPARE(QByteArray::fromStdString(machineIdFromAddresses({a, b})), ab);
        QVERIFY(machineIdFromAddresses({a, b}) != machineIdFromAddresses({b, a}));
        QCOMPARE(machineIdFromAddresses({a, QString(), b}), machineIdFromAddresses({a, b}));
        QCOMPARE(machineId().size(), size_t(28));
        QCOMPARE(&machineId(), &machineId());
        QCOMPARE(machineId(), makeMachineId());
    }
};

QTEST_MAIN(TestUtils)
#include "tst_utils.moc"
