// Chat pane append cost, all measured in the same run and printed as ratios
// beside a floor: a pane that has reached its bound beside an empty pane, the
// full chat line (stamp, link, escaping) beside a bare rich-text append, and
// one line of 200 characters, one of 1 MB, one of 1,000 line breaks and one
// of stacked combining marks shown on a pane that holds 1,000 lines beside a
// bare QTextEdit::append of the same text on a text edit that holds as many.
#include "ChatOutputWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr int Lines = 400;

double perLineMicros(const std::function<void(int)>& append)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Lines; ++i)
        append(i);
    return double(timer.nsecsElapsed()) / 1000.0 / Lines;
}

/// Milliseconds of one call, the pending layout and painting included.
double timedMs(const std::function<void()>& show)
{
    QElapsedTimer timer;
    timer.start();
    show();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// A line of other users' typical text, n characters long: words, spaces,
/// punctuation and a few characters that need escaping.
QString typedText(qsizetype n)
{
    const QString words = QStringLiteral("Anyone up for a <riichi> game & a chat? Pon, chii, kan! ");
    QString text;
    text.reserve(n);
    while (text.size() < n)
        text += words;
    text.truncate(n);
    return text;
}

template<typename Widget> void showFilled(Widget& w, const std::function<void(int)>& fill)
{
    w.resize(600, 400);
    w.show();
    for (int i = 0; i < ChatOutputWidget::MaxLines; ++i)
        fill(i);
    QApplication::processEvents();
}

}

class BenchChatOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendCost()
    {
        const QDateTime t = QDateTime::currentDateTimeUtc();
        const QString text = QStringLiteral("Anyone up for a <riichi> game & a chat?");

        QTextBrowser bare;
        const double floor = perLineMicros([&](int i) {
            bare.append(QStringLiteral("<font color=\"#e8e8e8\">%1 %2</font>").arg(i).arg(text.toHtmlEscaped()));
        });

        ChatOutputWidget fresh;
        const double empty = perLineMicros([&](int i) { fresh.appendMessage(t, QStringLiteral("Bob"), text); });

        ChatOutputWidget full;
        for (int i = 0; i < ChatOutputWidget::MaxLines + 200; ++i)
            full.appendMessage(t, QStringLiteral("Bob"), text);
        const double bounded = perLineMicros([&](int i) { full.appendMessage(t, QStringLiteral("Bob"), text); });
        QVERIFY(full.document()->blockCount() < ChatOutputWidget::MaxLines + ChatOutputWidget::TrimChunk);

        qInfo().noquote() << QStringLiteral("chat line on an empty pane / bare rich-text append: %1")
                                 .arg(empty / floor, 0, 'f', 2);
        qInfo().noquote() << QStringLiteral("chat line on a full (bounded) pane / on an empty pane: %1")
                                 .arg(bounded / empty, 0, 'f', 2);
    }

    void longLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("repeats");
        QTest::newRow("200 characters") << typedText(200) << 50;
        QTest::newRow("1 MB") << typedText(1024 * 1024) << 3;
        // Lines whose cost is in the layout, not the length.
        QTest::newRow("2,000 characters of 1,000 line breaks") << QStringLiteral("a\n").repeated(1000) << 20;
        QTest::newRow("2,000 characters of stacked marks")
            << (QStringLiteral("Z") + QString(99, QChar(0x0301))).repeated(20) << 20;
    }

    void longLines()
    {
        QFETCH(QString, text);
        QFETCH(int, repeats);
        const qsizetype length = text.size();
        const QDateTime t = QDateTime::currentDateTimeUtc();
        const QString filler = typedText(60);

        ChatOutputWidget pane;
        showFilled(pane, [&](int) { pane.appendMessage(t, QStringLiteral("Bob"), filler); });
        // The first lines fill the glyph caches; what is measured comes after.
        for (int i = 0; i < 3; ++i)
            timedMs([&] { pane.appendMessage(t, QStringLiteral("Bob"), text.left(ChatOutputWidget::MaxTextLength)); });
        double paneMs = 0;
        double worstMs = 0;
        for (int i = 0; i < repeats; ++i) {
            const double ms = timedMs([&] { pane.appendMessage(t, QStringLiteral("Bob"), text); });
            paneMs += ms / repeats;
            worstMs = qMax(worstMs, ms);
        }

        // The floor: the same text, escaped, appended to a plain text edit
        // holding as many lines. Once per run: it is the slow path itself.
        QTextEdit bare;
        showFilled(bare, [&](int) { bare.append(filler.toHtmlEscaped()); });
        const QString escaped = text.toHtmlEscaped();
        bare.append(escaped.left(ChatOutputWidget::MaxTextLength));
        QApplication::processEvents();
        const double bareMs = timedMs([&] { bare.append(escaped); });

        qInfo().noquote() << QStringLiteral("chat line of %1 on a pane of %2 lines / bare "
                                            "QTextEdit::append of the same text: %3 (worst line %4 of the bare "
                                            "append's time; %5 ms per line, worst %6 ms, bare %7 ms)")
                                 .arg(QString::fromLatin1(QTest::currentDataTag()))
                                 .arg(ChatOutputWidget::MaxLines)
                                 .arg(paneMs / bareMs, 0, 'f', 4)
                                 .arg(worstMs / bareMs, 0, 'f', 4)
                                 .arg(paneMs, 0, 'f', 2)
                                 .arg(worstMs, 0, 'f', 2)
                                 .arg(bareMs, 0, 'f', 1);
        // The bound every line must meet, whatever the machine's speed: a
        // line never takes as long as the unbounded append of its text would
        // when that text is long.
        if (length > ChatOutputWidget::MaxTextLength)
            QVERIFY2(worstMs < bareMs, qPrintable(QStringLiteral("%1 ms beside %2 ms").arg(worstMs).arg(bareMs)));
        QVERIFY(pane.document()->blockCount() < ChatOutputWidget::MaxLines + ChatOutputWidget::TrimChunk);
    }
};

QTEST_MAIN(BenchChatOutput)
#include "bench_chat_output.moc"
