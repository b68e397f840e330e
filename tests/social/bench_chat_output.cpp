// Chat pane append cost: a pane that has reached its bound (the oldest
// paragraph drops off with every new one) beside an empty pane, and the
// full chat line (stamp, link, escaping) beside a bare rich-text append to
// a plain text browser, all measured in the same run. Prints ratios only.
#include "ChatOutputWidget.h"

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
        QCOMPARE(full.document()->blockCount(), ChatOutputWidget::MaxLines);

        qInfo().noquote() << QStringLiteral("chat line on an empty pane / bare rich-text append: %1")
                                 .arg(empty / floor, 0, 'f', 2);
        qInfo().noquote() << QStringLiteral("chat line on a full (bounded) pane / on an empty pane: %1")
                                 .arg(bounded / empty, 0, 'f', 2);
    }
};

QTEST_MAIN(BenchChatOutput)
#include "bench_chat_output.moc"
