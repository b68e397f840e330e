#include "MahjongDialog.h"
#include "ModelessMsgBox.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

/// A content form of a given minimum size.
QWidget* makeContent(QWidget* parent, QSize size, const QString& title = QString())
{
    auto* w = new QWidget(parent);
    w->setMinimumSize(size);
    w->setWindowTitle(title);
    return w;
}

}

class TestDialogs : public QObject
{
    Q_OBJECT

private:
    QWidget* parent = nullptr;

private Q_SLOTS:
    void init()
    {
        parent = new QWidget;
        parent->resize(800, 600);
        parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent));
    }

    void cleanup()
    {
        delete parent;
        parent = nullptr;
    }

    void frameStructure()
    {
        MahjongDialog d(parent, true);
        QCOMPARE(d.objectName(), QStringLiteral("MahjongDialog"));
        QCOMPARE(d.topBar()->objectName(), QStringLiteral("topBar"));
        QCOMPARE(d.titleLabel()->objectName(), QStringLiteral("titleText"));
        QCOMPARE(d.closeButton()->objectName(), QStringLiteral("closeButton"));
        QVERIFY(!d.isWindow());
        QCOMPARE(d.parentWidget(), parent);
        QCOMPARE(d.windowTitle(), QStringLiteral("Form"));

        // A content that is not shown yet keeps the dialog hidden.
        d.setContentWidget(makeContent(nullptr, QSize(200, 100), QStringLiteral("Hello")));
        QVERIFY(!d.isVisible());
        QCOMPARE(d.windowTitle(), QStringLiteral("Hello"));
        QCOMPARE(d.titleLabel()->text(), QStringLiteral("Hello"));
    }

    void closeButtonFollowsClosable()
    {
        MahjongDialog closable(parent, true);
        MahjongDialog fixed(parent, false);
        QWidget* content = makeContent(nullptr, QSize(100, 50));
        fixed.setContentWidget(content);
        fixed.showDialog(true);
        closable.setContentWidget(makeContent(nullptr, QSize(100, 50)));
        closable.showDialog(true);
        QVERIFY(closable.closeButton()->isVisible());
        QVERIFY(!fixed.closeButton()->isVisible());
        // The content can still close a dialog without a close button.
        content->close();
        QVERIFY(!fixed.isVisible());
        // The close button hides the other.
        QTest::mouseClick(closable.closeButton(), Qt::LeftButton);
        QVERIFY(!closable.isVisible());
    }

    void showCentresAndRaises()
    {
        auto* other = new QWidget(parent);
        other->setGeometry(0, 0, 800, 600);
        MahjongDialog d(parent, true);
        d.setContentWidget(makeContent(nullptr, QSize(200, 100)));
        d.showDialog(true);
        other->raise();
        QVERIFY(d.isVisible());
        QCOMPARE(d.x(), (800 - d.width()) / 2);
        QCOMPARE(d.y(), (600 - d.height()) / 2);
        d.move(3, 4);
        d.showDialog(true);
        QCOMPARE(d.pos(), QPoint((800 - d.width()) / 2, (600 - d.height()) / 2));
        QCOMPARE(parent->children().last(), &d);
    }

    void contentLargerThanParentIsClamped()
    {
        auto* small = new QWidget(parent);
        small->resize(150, 120);
        MahjongDialog d(small, true);
        QWidget* content = makeContent(nullptr, QSize(100, 60));
        d.setContentWidget(content);
        d.showDialog(true);
        content->setMinimumSize(400, 400);
        content->resize(400, 400);
        QVERIFY(d.width() <= 150);
        QVERIFY(d.height() <= 120);
        // Centring a dialog as large as its parent puts it at the corner.
        d.centerOnParent();
        QCOMPARE(d.pos(), QPoint((150 - d.width()) / 2, (120 - d.height()) / 2));
    }

    void titleMirroring()
    {
        MahjongDialog d(parent, true);
        QWidget* content = makeContent(nullptr, QSize(100, 50), QStringLiteral("one"));
        d.setContentWidget(content);
        content->setWindowTitle(QStringLiteral("two"));
        QCOMPARE(d.windowTitle(), QStringLiteral("two"));
        QCOMPARE(d.titleLabel()->text(), QStringLiteral("two"));
        d.setWindowTitle(QStringLiteral("three"));
        QCOMPARE(content->windowTitle(), QStringLiteral("three"));
        QCOMPARE(d.titleLabel()->text(), QStringLiteral("three"));
        content->setWindowTitle(QString());
        QCOMPARE(d.windowTitle(), QString());
        QCOMPARE(d.titleLabel()->text(), QString());
        // A tournament name with markup shows as written, tags and all.
        const QString named = QStringLiteral("<b>Spring</b> <i>Cup</i> &amp; more");
        content->setWindowTitle(named);
        QLabel* title = d.titleLabel();
        QVERIFY2(title->sizeHint().width() >= title->fontMetrics().horizontalAdvance(named),
                 qPrintable(QString::number(title->sizeHint().width())));
    }

    void contentVisibility()
    {
        MahjongDialog d(parent, true);
        QWidget* content = makeContent(nullptr, QSize(100, 50));
        d.setContentWidget(content);
        d.showDialog(true);
        content->hide();
        QVERIFY(!d.isVisible());
        content->show();
        QVERIFY(d.isVisible());
    }

    void dragging()
    {
        MahjongDialog d(parent, true);
        d.setContentWidget(makeContent(nullptr, QSize(200, 100), QStringLiteral("drag me")));
        d.showDialog(true);
        const QPoint start = d.pos();
        const QPoint grab = d.topBar()->geometry().center() - QPoint(20, 0);

        // Right button and presses below the title bar do not drag.
        QTest::mousePress(&d, Qt::RightButton, {}, grab);
        QTest::mouseMove(&d, grab + QPoint(30, 30));
        QCOMPARE(d.pos(), start);
        QTest::mouseRelease(&d, Qt::RightButton, {}, grab);
        const QPoint below(10, d.height() - 5);
        QTest::mousePress(&d, Qt::LeftButton, {}, below);
        QTest::mouseMove(&d, below + QPoint(30, 30));
        QCOMPARE(d.pos(), start);
        QTest::mouseRelease(&d, Qt::LeftButton, {}, below);

        // A left drag on the title bar keeps the grabbed point under the cursor.
        QTest::mousePress(&d, Qt::LeftButton, {}, grab);
        QTest::mouseMove(&d, grab + QPoint(40, 25));
        QCOMPARE(d.pos(), start + QPoint(40, 25));
        // Leaving the parent freezes the dialog; coming back resumes.
        const QPoint outside = d.mapFromParent(QPoint(900, 300));
        QTest::mouseMove(&d, outside);
        QCOMPARE(d.pos(), start + QPoint(40, 25));
        QTest::mouseMove(&d, d.mapFromParent(QPoint(100, 100)));
        QCOMPARE(d.pos(), QPoint(100, 100) - grab);
        QTest::mouseRelease(&d, Qt::LeftButton, {}, d.mapFromParent(QPoint(100, 100)));
        const QPoint after = d.pos();
        QTest::mouseMove(&d, grab + QPoint(5, 5));
        QCOMPARE(d.pos(), after);
    }

    void questionAnswers_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("yes") << int(QDialogButtonBox::Yes);
        QTest::newRow("no") << int(QDialogButtonBox::No);
        QTest::newRow("closed") << 0;
    }

    void questionAnswers()
    {
        QFETCH(int, button);
        ModelessMsgBox::MsgBox* box = ModelessMsgBox::question(
            parent, QStringLiteral("Quit"), QStringLiteral("Are you sure you want to quit?"),
            QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes);
        QPointer<ModelessMsgBox::MsgBox> guard(box);
        QList<int> answers;
        ModelessMsgBox::connectFinished(box, [&answers](int r) { answers << r; });
        QSignalSpy finished(box, &ModelessMsgBox::MsgBox::finished);
        QVERIFY(box->isVisible());
        QCOMPARE(box->windowTitle(), QStringLiteral("Quit"));
        QCOMPARE(box->defaultButton(), box->buttonBox()->button(QDialogButtonBox::Yes));
        QVERIFY(box->defaultButton()->isDefault());
        QVERIFY(box->buttonBox()->button(QDialogButtonBox::Yes)->icon().isNull());

        if (button == 0)
            QTest::mouseClick(box->closeButton(), Qt::LeftButton);
        else
            QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::StandardButton(button)), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), button);
        QTRY_COMPARE(answers, QList<int>{button});
        // The helper deletes itself after the call.
        QTRY_COMPARE(parent->findChildren<ModelessMsgBox::detail::MsgBoxFinishedHelper*>().size(), 0);
    }

    void defaultButtonChoice()
    {
        using B = QDialogButtonBox;
        // No default given: the first accept-role button by bit order (Ok before Yes).
        auto* box = ModelessMsgBox::information(parent, QStringLiteral("t"), QStringLiteral("x"), B::Yes | B::Ok);
        QCOMPARE(box->defaultButton(), box->buttonBox()->button(B::Ok));
        box->close();
        // A default that is not in the mask gives no default.
        box = ModelessMsgBox::warning(parent, QStringLiteral("t"), QStringLiteral("x"), B::Ok, B::Cancel);
        QCOMPARE(box->defaultButton(), nullptr);
        box->close();
        // No accept-role button: no default.
        box = ModelessMsgBox::critical(parent, QStringLiteral("t"), QStringLiteral("x"), B::No | B::Cancel);
        QCOMPARE(box->defaultButton(), nullptr);
        QCOMPARE(box->buttonBox()->buttons().size(), 2);
        box->close();
    }

    void twoBoxesAnswerIndependently()
    {
        auto* a = ModelessMsgBox::question(parent, QStringLiteral("a"), QStringLiteral("first"));
        auto* b = ModelessMsgBox::question(parent, QStringLiteral("b"), QStringLiteral("second"));
        QList<int> ra;
        QList<int> rb;
        ModelessMsgBox::connectFinished(a, [&ra](int r) { ra << r; });
        ModelessMsgBox::connectFinished(b, [&rb](int r) { rb << r; });
        // Keys typed into the window: the box on top has them, and when it
        // goes, the one below gets them without a click.
        parent->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(parent));
        QTest::keyClick(parent->windowHandle(), Qt::Key_Escape);
        QTRY_COMPARE(rb, QList<int>{int(QDialogButtonBox::No)});
        QVERIFY(ra.isEmpty());
        QTest::keyClick(parent->windowHandle(), Qt::Key_Return);
        QTRY_COMPARE(ra, QList<int>{int(QDialogButtonBox::Yes)});
        QCOMPARE(rb.size(), 1);
    }

    void clickThenCloseReportsOnce()
    {
        auto* box = ModelessMsgBox::question(parent, QStringLiteral("q"), QStringLiteral("?"));
        QSignalSpy finished(box, &ModelessMsgBox::MsgBox::finished);
        QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
        box->close();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialogButtonBox::Yes));
    }

    void boxIsCentredAndClamped()
    {
        auto* box = ModelessMsgBox::information(parent, QStringLiteral("t"), QStringLiteral("message"));
        QCOMPARE(box->pos(), QPoint((800 - box->width()) / 2, (600 - box->height()) / 2));
        box->close();

        auto* small = new QWidget(parent);
        small->resize(60, 40);
        small->show();
        box = ModelessMsgBox::information(small, QStringLiteral("t"),
                                          QStringLiteral("a message much wider than the tiny parent widget"));
        // Clamped to the parent, but never below the size its content needs.
        QCOMPARE(box->width(), qMax(60, box->minimumWidth()));
        QCOMPARE(box->height(), qMax(40, box->minimumHeight()));
    }

    void parentGoneMeansNoCallback()
    {
        auto* holder = new QWidget(parent);
        holder->resize(300, 200);
        auto* box = ModelessMsgBox::question(holder, QStringLiteral("q"), QStringLiteral("?"));
        bool called = false;
        ModelessMsgBox::connectFinished(box, [&called](int) { called = true; });
        delete holder;
        QTest::qWait(10);
        QVERIFY(!called);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
