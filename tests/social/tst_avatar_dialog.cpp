// The avatar chooser: the default pictures, what a choice sends (fitted
// into 64 x 64), refused files, and the wait cursor pushed and popped once
// per upload with further choices ignored meanwhile.
#include "Avatar.h"
#include "AvatarDialog.h"
#include "FriendsTestSession.h"
#include "HostilePictures.h"
#include "ModelessMsgBox.h"
#include "ProcessMemory.h"

#include <QApplication>
#include <QFile>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

int cursorDepth()
{
    int depth = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++depth;
    }
    for (int i = 0; i < depth; ++i)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    return depth;
}

QString warningText(QWidget* parent)
{
    const auto boxes = parent->findChildren<ModelessMsgBox::MsgBox*>();
    if (boxes.isEmpty())
        return QString();
    return boxes.last()->findChild<QLabel*>(QStringLiteral("msgBoxText"))->text();
}

}

class AvatarDialogTest : public QObject
{
    Q_OBJECT

    QWidget page;
    QTemporaryDir dir;

    /// A red PNG file, with `textChunks` compressed text chunks of nearly 8 MB
    /// each once inflated; a JPEG for -1.
    QString writeImage(const QString& name, QSize size, int textChunks = 0)
    {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(textChunks < 0 ? hostilepictures::plainPicture(size, Qt::red, "JPG")
                                      : hostilepictures::pngWithChunks(hostilepictures::plainPicture(size, Qt::red),
                                                                       textChunks));
        return file.fileName();
    }

private Q_SLOTS:
    void initTestCase()
    {
        friendstest::setUpEnvironment();
        page.resize(800, 600);
        page.show();
    }

    void cleanup()
    {
        qDeleteAll(page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
        QCOMPARE(cursorDepth(), 0);
        page.activateWindow(); // back from a file picker, for the keys of the next case
    }

    void defaultAvatarsAndTheFirstCurrent()
    {
        AvatarDialog dialog(&page);
        QCOMPARE(dialog.model()->rowCount(), 32);
        QCOMPARE(dialog.avatarView()->currentIndex().row(), 0);
        const Avatar first = dialog.model()->index(0, 0).data().value<Avatar>();
        QVERIFY(first.image.width() <= 64 && first.image.height() <= 64 && !first.selectionOverlay.isNull());
        // The plain pictures come last.
        const Avatar last = dialog.model()->index(31, 0).data().value<Avatar>();
        QCOMPARE(last.image, QImage(QStringLiteral("resources:avatars/z_default_avatar_yellow.png"))
                                 .scaled(64, 64, Qt::KeepAspectRatio, Qt::FastTransformation));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose avatar"));
    }

    void customPictureIsFitted_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("sent");
        QTest::addColumn<int>("textChunks"); // of 7.8 MB each once inflated; -1: a JPEG
        QTest::newRow("wide, larger") << QSize(100, 50) << QSize(64, 32) << 0;
        QTest::newRow("small square") << QSize(32, 32) << QSize(64, 64) << 0;
        QTest::newRow("tall") << QSize(20, 80) << QSize(16, 64) << 0;
        QTest::newRow("wide, with a text chunk bomb") << QSize(100, 50) << QSize(64, 32) << 60;
        QTest::newRow("a phone's photo of 8000 x 6000") << QSize(8000, 6000) << QSize(64, 48) << -1;
    }

    void customPictureIsFitted()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, sent);
        QFETCH(int, textChunks);
        auto* dialog = new AvatarDialog(&page);
        QSignalSpy chosen(dialog, &AvatarDialog::changeAvatar);
        const QString file = writeImage(QStringLiteral("own.png"), size, textChunks);
        const processmemory::PeakGrowth peak;
        QTest::mouseClick(dialog->customButton(), Qt::LeftButton);
        dialog->findChild<QFileDialog*>()->selectFile(file); // as typed into the picker
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open), Qt::LeftButton);
        QCOMPARE(chosen.size(), 0); // decoded off the GUI thread, waiting meanwhile
        QCOMPARE(cursorDepth(), 1);
        QTRY_COMPARE(chosen.size(), 1);
        QVERIFY(peak.kb() < 100 * 1024);
        QCOMPARE(chosen.first().first().value<QImage>().size(), sent);
        QCOMPARE(cursorDepth(), 1);
    }

    void uploadWaitsOnceAndEnds_data()
    {
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("refused") << false;
        QTest::newRow("stored") << true;
    }

    void uploadWaitsOnceAndEnds()
    {
        QFETCH(bool, succeeds);
        auto* dialog = new AvatarDialog(&page);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->showDialog(true);
        QPointer<AvatarDialog> alive(dialog);
        QSignalSpy chosen(dialog, &AvatarDialog::changeAvatar);
        dialog->okButton()->click();
        QTest::mouseDClick(dialog->avatarView()->viewport(), Qt::LeftButton, {},
                           dialog->avatarView()->visualRect(dialog->model()->index(3, 0)).center());
        dialog->chooseCustomFile(writeImage(QStringLiteral("other.png"), QSize(10, 10)));
        QCOMPARE(chosen.size(), 1); // the rest came while the first was on its way
        QCOMPARE(cursorDepth(), 1);
        if (succeeds) {
            dialog->onChangeAvatarSucceded();
            QTRY_VERIFY(!alive);
        } else {
            dialog->onChangeAvatarFailed();
            QCOMPARE(warningText(&page), QStringLiteral("Failed to change avatar"));
            dialog->onChangeAvatarFailed(); // once is enough
            QCOMPARE(page.findChildren<ModelessMsgBox::MsgBox*>().size(), 1);
            QCOMPARE(cursorDepth(), 0);
            dialog->okButton()->click();
            QCOMPARE(chosen.size(), 2); // may try again
            dialog->close();
        }
        QCOMPARE(cursorDepth(), 0);
    }

    void whatSendsNothing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("warning");
        QTest::newRow("double-click beside the pictures") << "empty" << "";
        QTest::newRow("Return on a button") << "return on button" << "";
        QTest::newRow("unreadable file") << "unreadable" << "The file %1 is unreadable";
        QTest::newRow("not a picture") << "garbage" << "The file %1 is an invalid image";
        QTest::newRow("image data bomb") << "bomb" << "The file %1 is too large";
        QTest::newRow("a PNG of 8000 x 6000") << "large" << "The file %1 is too large";
    }

    void whatSendsNothing()
    {
        QFETCH(QString, action);
        QFETCH(QString, warning);
        auto* dialog = new AvatarDialog(&page);
        dialog->showDialog(true);
        QSignalSpy chosen(dialog, &AvatarDialog::changeAvatar);
        QString file = dir.filePath(action);
        if (action == QLatin1String("empty")) {
            dialog->avatarView()->setCurrentIndex(QModelIndex());
            QTest::mouseDClick(dialog->avatarView()->viewport(), Qt::LeftButton, {},
                               dialog->avatarView()->viewport()->rect().bottomRight() - QPoint(2, 2));
        } else if (action == QLatin1String("return on button")) {
            dialog->cancelButton()->setFocus();
            QTest::keyClick(dialog->cancelButton(), Qt::Key_Return);
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(action == QLatin1String("bomb")      ? hostilepictures::pngWithDataBeyond(QSize(96, 96), 3000)
                    : action == QLatin1String("large") ? hostilepictures::pngClaiming(8000, 6000)
                                                       : QByteArray("not a picture"));
            f.close();
            if (action == QLatin1String("unreadable"))
                QVERIFY(f.setPermissions(QFile::WriteOwner));
            dialog->chooseCustomFile(file);
        }
        QTRY_COMPARE(warningText(&page), warning.isEmpty() ? QString() : warning.arg(file));
        QCOMPARE(chosen.size(), 0);
        // Return with the focus in the grid sends the current picture.
        dialog->avatarView()->setCurrentIndex(dialog->model()->index(1, 0));
        dialog->avatarView()->setFocus();
        QTest::keyClick(dialog->avatarView(), Qt::Key_Return);
        QCOMPARE(chosen.size(), 1);
        dialog->close();
    }
};

QTEST_MAIN(AvatarDialogTest)
#include "tst_avatar_dialog.moc"
