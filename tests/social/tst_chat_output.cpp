// The chat pane: what other users write shows as text, names travel intact
// to the user menu, date lines follow the calendar, the history is bounded.
#include "ChatOutputWidget.h"
#include "Utils.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QScrollBar>
#include <QUrl>

#include <cmath>

namespace {

const QDateTime Day1 = QDateTime(QDate(2026, 3, 14), QTime(10, 0), Qt::UTC);

int occurrences(const QString& haystack, const QString& needle)
{
    return int(haystack.count(needle));
}

/// The anchor of the first link in the document.
QString firstAnchor(const QTextDocument* doc)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isAnchor())
                return f.anchorHref();
        }
    }
    return QString();
}

/// The viewport position of the middle of the first link.
QPoint firstAnchorPos(ChatOutputWidget& w)
{
    const QTextDocument* doc = w.document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().isAnchor())
                continue;
            QTextCursor c(w.document());
            c.setPosition(it.fragment().position() + 1);
            return w.cursorRect(c).center();
        }
    }
    return QPoint(-1, -1);
}

}

class TestChatOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textFromOthersIsText_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("text");
        QTest::newRow("markup in the line") << "Alice" << "hi <b>x</b>";
        QTest::newRow("entity in the line") << "Alice" << "a &amp; b &lt;";
        QTest::newRow("quote in the nick") << "O\"Neil<img src=x>" << "hello";
        QTest::newRow("placeholders") << "%2" << "%1 %3 done";
        QTest::newRow("link markup") << "Bob" << "<a href=\"user:Eve\">Eve</a>";
    }

    void textFromOthersIsText()
    {
        QFETCH(QString, nick);
        QFETCH(QString, text);
        ChatOutputWidget w;
        w.appendMessage(Day1, nick, text);
        const QString plain = w.toPlainText();
        QCOMPARE(occurrences(plain, text), 1);
        QCOMPARE(occurrences(plain, nick + QStringLiteral(": ")), 1);
        // Exactly one link: the sender's name; the line brought none of its own.
        QCOMPARE(ChatOutputWidget::nickFromLink(firstAnchor(w.document())), nick);
        QCOMPARE(occurrences(w.toHtml(), QStringLiteral("<a ")), 1);
        QVERIFY(!plain.contains(QStringLiteral("<font")));
    }

    void textShowsAsSent_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // the line's plain text after "nick: "
        QTest::newRow("run of spaces") << "a   b" << "a   b";
        QTest::newRow("leading and trailing spaces") << "  x  " << "  x  ";
        QTest::newRow("tab, an em space") << "a\tb" << "a\u2003b";
        QTest::newRow("line feed") << "one\ntwo" << "one\ntwo";
        QTest::newRow("carriage return and line feed") << "one\r\ntwo\rthree" << "one\ntwo\nthree";
        QTest::newRow("empty lines kept") << "a\n\n\nb" << "a\n\n\nb";
        QTest::newRow("paragraph separator stays in the line") << QStringLiteral("a\u2029b") << "a\nb";
        QTest::newRow("markup and spaces") << "<b>  x</b> &amp;" << "<b>  x</b> &amp;";
        // Bounded on screen: rows, and marks stacked on one character.
        const QString mark(ChatOutputWidget::ElisionMark);
        QTest::newRow("1,000 line breaks") << QStringLiteral("a\r\n").repeated(1000)
                                           << QStringLiteral("a\n").repeated(ChatOutputWidget::MaxRows - 1) + "a" + mark;
        QTest::newRow("accents kept") << QStringLiteral("e\u0323\u0302 o\u0308") << QStringLiteral("e\u0323\u0302 o\u0308");
        const int marks = xmpp::text::MaxClusterMarks;
        QTest::newRow("stacked marks") << "Z" + QString(500, QChar(0x0301)) + "a" + QString(12, QChar(0x20DD)) + "b"
                                       << "Z" + QString(marks, QChar(0x0301)) + "a" + QString(marks, QChar(0x20DD)) + "b";
        const QString highMark = QString::fromUtf8("\xF0\x9D\x85\xA5"); // a mark outside the BMP
        QTest::newRow("stacked marks outside the BMP") << "x" + highMark.repeated(marks + 1) + "y"
                                                        << "x" + highMark.repeated(marks) + "y";
        const QString interleaved = QStringLiteral("\u0301\u0301\u2060").repeated(666);
        QTest::newRow("marks between format characters") << "a" + interleaved + "b" << "a" + interleaved.left(marks) + "b";
        // Pointed Hebrew with a cantillation mark, vowelled Arabic, a Tibetan stack.
        const QString written = QStringLiteral("\u05D1\u05BC\u05B0\u05BD\u0591 \u0628\u0651\u0650 \u0F66\u0F92\u0FB2\u0F74");
        QTest::newRow("real writing kept") << written << QChar(0x2068) + written + QChar(0x2069);
        QTest::newRow("override closed in the line") << QStringLiteral("a\u202Eb\u202Cc\u202Ed") << QStringLiteral("\u2068a\u202Eb\u202Ccd\u2069");
        QTest::newRow("one cluster of Hangul jamo") << QString(2000, QChar(0x1100)) + "." << QString(xmpp::text::MaxClusterLength, QChar(0x1100)) + ".";
        QTest::newRow("object replacement") << QStringLiteral("a\uFFFCb") << QStringLiteral("a\uFFFDb");
        // Each change of script costs the layout a run of its own.
        const qsizetype max = ChatOutputWidget::MaxTextLength;
        const QString alternating = QStringLiteral("a\u05D0").repeated(1000);
        QTest::newRow("changes of script") << alternating
                                           << QChar(0x2068) + alternating.left(1 + (max - 1) / (1 + xmpp::text::ScriptChangeCost)) + mark + QChar(0x2069);
        const QString thai = QString(2000, QChar(0x0E01));
        QTest::newRow("Thai without spaces") << thai << thai.left(max / xmpp::text::DictionaryCost) + mark;
        QTest::newRow("wide characters") << QString(max, QChar(0x6C34)) << QString(max / xmpp::text::WideCost, QChar(0x6C34)) + mark;
    }

    void textShowsAsSent()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ChatOutputWidget w;
        w.appendMessage(Day1, QStringLiteral("Ann"), text);
        // One block for the date and one for the line, whatever it holds.
        QCOMPARE(w.document()->blockCount(), 2);
        QString line = w.document()->lastBlock().text();
        line.replace(QChar::LineSeparator, QLatin1Char('\n'));
        const QString prefix = QStringLiteral("Ann: ");
        QVERIFY2(line.contains(prefix), qPrintable(line));
        QCOMPARE(line.mid(line.indexOf(prefix) + prefix.size()), shown);
        // Its rows stand in under the name: none passes for a line or a
        // notice of its own.
        w.resize(400, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QTextBlock block = w.document()->lastBlock();
        QVERIFY(block.layout()->lineCount() > 0);
        const qreal name = block.layout()->lineAt(0).cursorToX(line.indexOf(prefix));
        for (int row = 1; row < block.layout()->lineCount(); ++row)
            QVERIFY2(block.layout()->lineAt(row).x() >= name - 0.5, qPrintable(QString::number(row)));
    }

    void longTextIsCut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const qsizetype max = ChatOutputWidget::MaxTextLength;
        const QString mark(ChatOutputWidget::ElisionMark);
        QTest::newRow("at the limit") << QString(max, QLatin1Char('a')) << QString(max, QLatin1Char('a'));
        QTest::newRow("one over") << QString(max + 1, QLatin1Char('a')) << QString(max, QLatin1Char('a')) + mark;
        QTest::newRow("1 MB without a break") << QString(1024 * 1024, QLatin1Char('w'))
                                              << QString(max, QLatin1Char('w')) + mark;
        // The cut falls inside a character outside the BMP: it goes whole.
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        QTest::newRow("surrogate pair at the cut") << QString(max - 1, QLatin1Char('a')) + clef + QStringLiteral("zz")
                                                   << QString(max - 1, QLatin1Char('a')) + mark;
        QTest::newRow("markup counts as shown") << QString(max, QLatin1Char('<')) + QStringLiteral(">")
                                                << QString(max, QLatin1Char('<')) + mark;
    }

    void longTextIsCut()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ChatOutputWidget w;
        w.resize(500, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString nick(300, QLatin1Char('N'));
        QElapsedTimer clock;
        clock.start();
        w.appendMessage(Day1, nick, text);
        QApplication::processEvents();
        // Unbounded, a megabyte took minutes; cut, it is a few milliseconds.
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        const QString line = w.document()->lastBlock().text();
        const QString prefix = QString(ChatOutputWidget::MaxNickLength, QLatin1Char('N')) + ChatOutputWidget::ElisionMark
                               + QStringLiteral(": ");
        QVERIFY(line.contains(prefix));
        QCOMPARE(line.mid(line.indexOf(prefix) + prefix.size()), shown);
        // The name link still carries the whole nick.
        QCOMPARE(ChatOutputWidget::nickFromLink(firstAnchor(w.document())), nick);
    }

    void rowsBoundedAtThePanesWidth()
    {
        // No line takes more rows than 2,000 wide characters take there.
        ChatOutputWidget w;
        w.resize(240, 300);
        w.show();
        w.appendMessage(Day1, QStringLiteral("Ann"), QString(2000, QChar(0x6C34)));
        const int wideRows = w.document()->lastBlock().layout()->lineCount();
        w.appendMessage(Day1, QStringLiteral("Ann"), QString(2000, QLatin1Char('\t')));
        const QTextBlock line = w.document()->lastBlock();
        QCOMPARE_LE(line.layout()->lineCount(), wideRows);
    }

    void longInfoLineIsCut_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("shown");
        const qsizetype max = ChatOutputWidget::MaxTextLength;
        const QString mark(ChatOutputWidget::ElisionMark);
        QTest::newRow("short, markup kept") << "Kicked due to <b>spam</b> &amp; more" << "Kicked due to spam & more";
        QTest::newRow("long reason inside markup")
            << QStringLiteral("due to <b>") + QString(1024 * 1024, QLatin1Char('x')) + QStringLiteral("</b>")
            << QStringLiteral("due to ") + QString(max - 7, QLatin1Char('x')) + mark;
        QTest::newRow("entities count as one") << QStringLiteral("&lt;").repeated(max + 5)
                                               << QString(max, QLatin1Char('<')) + mark;
        QTest::newRow("exactly at the limit") << QString(max, QLatin1Char('y')) + QStringLiteral("<br/>")
                                              << QString(max, QLatin1Char('y'));
    }

    void longInfoLineIsCut()
    {
        QFETCH(QString, html);
        QFETCH(QString, shown);
        ChatOutputWidget w;
        w.appendInfo(Day1, html);
        QCOMPARE(w.document()->blockCount(), 2);
        QString line = w.document()->lastBlock().text();
        line.replace(QChar::LineSeparator, QString());
        QCOMPARE(line, shown);
    }

    void infoLinesAreMarkup()
    {
        ChatOutputWidget w;
        w.appendInfo(Day1, QStringLiteral("Player <b>East</b> won"));
        QVERIFY(w.toPlainText().contains(QStringLiteral("Player East won")));
        QVERIFY(!w.toPlainText().contains(QStringLiteral("<b>")));
    }

    void nickTravelsIntact_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::newRow("capitals") << "MahjongKing";
        QTest::newRow("space") << "Lady Luck";
        QTest::newRow("quote and angle") << "a\"b<c>'d";
        QTest::newRow("percent") << "100%25 real";
        QTest::newRow("slashes and query") << "//x/y?z=1#w";
        QTest::newRow("non-latin") << QString::fromUtf8("麻雀の達人");
        QTest::newRow("at sign and colon") << "user:bob@host";
    }

    void nickTravelsIntact()
    {
        QFETCH(QString, nick);
        // Through the URL class, as a click delivers it.
        const QString link = ChatOutputWidget::userLink(nick);
        QCOMPARE(ChatOutputWidget::nickFromLink(QUrl(link).toString(QUrl::FullyEncoded)), nick);

        // Through the document and a right-click on the name.
        ChatOutputWidget w;
        w.resize(400, 200);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.appendMessage(Day1, nick, QStringLiteral("hello"));
        QSignalSpy menu(&w, &ChatOutputWidget::userMenuRequested);
        const QPoint pos = firstAnchorPos(w);
        QVERIFY(pos.x() >= 0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, w.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(w.viewport(), &event);
        QCOMPARE(menu.size(), 1);
        QCOMPARE(menu.first().first().toString(), nick);
        QTest::keyClick(&w, Qt::Key_Down); // through the keys: Down reaches the name, Return opens its menu
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(menu.size(), 2);
        QCOMPARE(menu.last().first().toString(), nick);
    }

    void otherLinksOpenNoMenu()
    {
        QCOMPARE(ChatOutputWidget::nickFromLink(QStringLiteral("http://example.invalid/")), QString());
        QVERIFY(ChatOutputWidget::nickFromLink(QStringLiteral("user:")).isEmpty());
    }

    void dateLines_data()
    {
        QTest::addColumn<QList<QDateTime>>("times");
        QTest::addColumn<int>("dateLines");
        QTest::newRow("first line") << QList<QDateTime>{Day1} << 1;
        QTest::newRow("same day") << QList<QDateTime>{Day1, Day1.addSecs(3600)} << 1;
        QTest::newRow("next day") << QList<QDateTime>{Day1, Day1.addDays(1)} << 2;
        QTest::newRow("history from the day before") << QList<QDateTime>{Day1, Day1.addDays(-1), Day1.addSecs(60)}
                                                      << 1;
        QTest::newRow("earlier then later") << QList<QDateTime>{Day1, Day1.addDays(-2), Day1.addDays(1)} << 2;
    }

    void dateLines()
    {
        QFETCH(QList<QDateTime>, times);
        QFETCH(int, dateLines);
        ChatOutputWidget w;
        for (const QDateTime& t : times)
            w.appendMessage(t, QStringLiteral("n"), QStringLiteral("line"));
        // Every block is a chat line or a date line.
        QCOMPARE(w.document()->blockCount(), int(times.size()) + dateLines);
        QVERIFY(w.document()->firstBlock().text().contains(formatDateTime(times.first())));
    }

    void historyIsBounded()
    {
        ChatOutputWidget w;
        const int total = ChatOutputWidget::MaxLines + 500;
        for (int i = 0; i < total; ++i)
            w.appendMessage(Day1, QStringLiteral("n"), QStringLiteral("line %1.").arg(i));
        QVERIFY(w.document()->blockCount() >= ChatOutputWidget::MaxLines);
        QVERIFY(w.document()->blockCount() < ChatOutputWidget::MaxLines + ChatOutputWidget::TrimChunk);
        QVERIFY(w.document()->lastBlock().text().endsWith(QStringLiteral("line %1.").arg(total - 1)));
        // No line in between went missing: the oldest kept is the one before.
        QVERIFY(w.document()->firstBlock().text().endsWith(
            QStringLiteral("line %1.").arg(total - w.document()->blockCount())));
        QVERIFY(!w.toPlainText().contains(QStringLiteral("line 0.")));
    }

    void heldScrollBarKeepsTheView()
    {
        ChatOutputWidget w;
        w.resize(300, 120);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < 60; ++i)
            w.appendMessage(Day1, QStringLiteral("n"), QStringLiteral("line %1").arg(i));
        QScrollBar* bar = w.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setSliderDown(true);
        bar->setValue(0);
        w.appendMessage(Day1, QStringLiteral("n"), QStringLiteral("while held"));
        QCOMPARE(bar->value(), 0);
        bar->setSliderDown(false);
        w.appendMessage(Day1, QStringLiteral("n"), QStringLiteral("released"));
        QCOMPARE(bar->value(), bar->maximum());
    }
};

QTEST_MAIN(TestChatOutput)
#include "tst_chat_output.moc"
