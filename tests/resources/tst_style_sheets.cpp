// The application's style sheets parse as a whole: a rule left open makes Qt
// drop every rule after it without a word at start-up, and the windows then
// lose their look.

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace {

QStringList warnings;

void collect(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg)
        warnings << text;
}

}

class StyleSheetsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parses_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("default") << QStringLiteral(PARLOR_SOURCE_DIR "/resources/default/defaultui.css");
        QTest::newRow("edition") << QStringLiteral(PARLOR_SOURCE_DIR "/resources/parlor7/customui.css");
    }

    void parses()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QString sheet = QString::fromUtf8(file.readAll());

        // Braces outside comments pair up, and none is nested in a rule.
        QString bare = sheet;
        bare.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"),
                                       QRegularExpression::DotMatchesEverythingOption));
        int depth = 0;
        int line = 1;
        for (const QChar c : bare) {
            if (c == QLatin1Char('\n'))
                ++line;
            if (c == QLatin1Char('{'))
                ++depth;
            if (c == QLatin1Char('}'))
                --depth;
            QVERIFY2(depth == 0 || depth == 1, qPrintable(QStringLiteral("brace at line %1").arg(line)));
        }
        QCOMPARE(depth, 0);

        // And Qt's own parser takes it without a warning.
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        qApp->setStyleSheet(sheet);
        QWidget widget;
        widget.ensurePolished();
        qApp->setStyleSheet(QString());
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(StyleSheetsTest)
#include "tst_style_sheets.moc"
