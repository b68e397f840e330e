// The program's look with the compiled style sheets and images: the dialog
// frame, a message box and the scroll bars are drawn from the project's art.
#include "AvatarDialog.h"
#include "CommandLine.h"
#include "FriendDetailWindow.h"
#include "LobbyWindow.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "ModelessMsgBox.h"
#include "SideBar.h"
#include "TableCapacityDelegate.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QStringListModel>
#include <QTreeView>
#include <QVBoxLayout>

class TestLook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(qApp)->loadStyleSheet();
    }

    void framesAndScrollBarsUseTheArt()
    {
        QWidget page;
        page.setObjectName(QStringLiteral("lobbyPage"));
        page.resize(640, 480);
        // A colour of no art of the program: where the box shows it, the page shows through.
        const QColor behind(0, 255, 0);
        page.setStyleSheet(QStringLiteral("QWidget#lobbyPage { background: #00ff00; }"));
        auto* layout = new QVBoxLayout(&page);
        auto* area = new QScrollArea(&page);
        auto* inner = new QLabel(QStringLiteral("A long page\n").repeated(60), area);
        area->setWidget(inner);
        layout->addWidget(area);
        // A list whose second row adds CJK to the first row's Latin text.
        QStringListModel rows({QStringLiteral("Hx"), QStringLiteral("Hx\u5b57\u30ea")});
        auto* list = new QTreeView(&page);
        list->setHeaderHidden(true);
        list->setUniformRowHeights(true); // as the lobby lists
        list->setModel(&rows);
        layout->addWidget(list);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        auto* box = ModelessMsgBox::question(&page, QStringLiteral("Leave table"),
                                             QStringLiteral("Do you really want to leave the table?"),
                                             QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes);
        QVERIFY(box->isVisible());
        QTest::qWait(50);

        const QImage shot = page.grab().toImage();
        shot.save(QStringLiteral("look.png"));

        // The scroll bar is 15 px wide and drawn from the images, not by Fusion.
        QScrollBar* bar = area->verticalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->width(), 15);
        const QImage barImage = bar->grab().toImage();
        const QImage upArrow(QStringLiteral("resources:/scroll-vert-up-normal.png"));
        QVERIFY(!upArrow.isNull());
        const QPoint probe(7, 7);
        QCOMPARE(QColor(barImage.pixel(probe)).name(), QColor(upArrow.scaled(15, 15).pixel(probe)).name());

        // The CJK beside the Latin text moves it neither up nor down, through
        // the style's item and through the lobby's delegate.
        const int latin = QFontMetrics(list->font()).horizontalAdvance(QStringLiteral("Hx"));
        for (QAbstractItemDelegate* delegate : {list->itemDelegate(), static_cast<QAbstractItemDelegate*>(new TableCapacityDelegate(list))}) {
            list->setItemDelegate(delegate);
            const QImage rowsImage = list->viewport()->grab().toImage();
            const QRect first = list->visualRect(rows.index(0, 0)), second = list->visualRect(rows.index(1, 0));
            QCOMPARE(rowsImage.copy(second.x(), second.y(), latin, second.height()), rowsImage.copy(first.x(), first.y(), latin, first.height()));
        }

        // The frame of the box comes from the frame image, not from the plain palette.
        const QImage boxImage = box->grab().toImage();
        const QImage frame(QStringLiteral("resources:/meld_auction_frame.png"));
        QVERIFY(!frame.isNull());
        QCOMPARE(QColor(boxImage.pixel(2, boxImage.height() / 2)).name(),
                 QColor(frame.pixel(2, frame.height() / 2)).name());
        // Nothing of the page shows through the box, its frame band included.
        const QImage onPage = shot.copy(box->geometry());
        for (int y = 0; y < onPage.height(); ++y)
            for (int x = 0; x < onPage.width(); ++x)
                QVERIFY2(QColor(onPage.pixel(x, y)) != behind, qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
    }

    void wordsAndBoxesStandOut()
    {
        const auto apart = [](const QColor& a, const QColor& b) { return std::abs(qGray(a.rgb()) - qGray(b.rgb())) > 100; };
        LobbyWindow lobby;
        AvatarDialog avatars;
        SideBar bar(nullptr);
        FriendDetailWindow friendPane;
        bar.setHandId(0);
        for (QWidget* pane : std::initializer_list<QWidget*>{&lobby, &avatars, &bar, &friendPane})
            pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(&friendPane));
        // An unticked box of the lobby is framed on its cream page: the right side of its 13 px square.
        auto* box = lobby.findChild<QCheckBox*>(QStringLiteral("excludeFullTablesCheckBox"));
        QCOMPARE_LT(qGray(lobby.grab().toImage().pixel(box->mapTo(&lobby, QPoint(12, box->height() / 2)))), 120);
        // The avatar chooser's hint on its dark band; Qt's file chooser opened from a dialog of the program.
        auto* hint = avatars.findChild<QLabel*>(QStringLiteral("label_2"));
        QVERIFY(apart(hint->palette().color(QPalette::WindowText), avatars.grab().toImage().pixelColor(hint->mapTo(&avatars, QPoint(1, 1)))));
        auto* files = new QFileDialog(&avatars);
        files->setOption(QFileDialog::DontUseNativeDialog);
        for (QLabel* label : files->findChildren<QLabel*>())
            QVERIFY(apart((label->ensurePolished(), label->palette().color(QPalette::WindowText)), files->palette().color(QPalette::Window)));
        // Texts and buttons keep clear of their panes' edges.
        const std::pair<QWidget*, const char*> parts[] = {{&bar, "handId"}, {&bar, "tableName"}, {&friendPane, "removeButton"},
                                                          {&friendPane, "joinButton"}, {&friendPane, "watchButton"}};
        for (const auto& [pane, name] : parts) {
            auto* part = pane->findChild<QWidget*>(QLatin1String(name));
            const QRect shown(part->mapTo(pane, part->contentsRect().topLeft()), part->contentsRect().size());
            QVERIFY2(shown.left() >= 4 && shown.right() < pane->width() - 4 && shown.bottom() < pane->height() - 4, name);
        }
    }
};

int main(int argc, char** argv)
{
    MahjongApplication app(argc, argv);
    TestLook test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_look.moc"
