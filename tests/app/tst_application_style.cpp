#include "CommandLine.h"
#include "Logging.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "PictureFile.h"
#include "SharedMachine.h"
#include "SingleInstanceLock.h"

#include <server_error.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLockFile>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// A widget that throws from its event handler.
class Thrower : public QObject
{
public:
    std::function<void()> toThrow;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            toThrow();
        return QObject::event(e);
    }
};

/// Fills the image of a given colour at the path.
void writeImage(const QString& path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

}

class TestApplicationStyle : public QObject
{
    Q_OBJECT

private:
    MahjongApplication* app() { return static_cast<MahjongApplication*>(QCoreApplication::instance()); }

    /// Runs the throwing callback in a child process; returns its standard error.
    QString fatalInChild(const std::function<void()>& toThrow)
    {
        const QString errPath = QDir::temp().absoluteFilePath(QStringLiteral("child-stderr.txt"));
        QFile::remove(errPath);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::open(errPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 2);
            qInstallMessageHandler(Logging::messageHandler);
            Thrower t;
            t.toThrow = toThrow;
            QEvent e(QEvent::User);
            QCoreApplication::sendEvent(&t, &e);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGABRT)
            return QStringLiteral("<child did not abort>");
        QFile f(errPath);
        f.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(f.readAll());
    }

private Q_SLOTS:
    void hoverEventsOnlyForHoverStyledWidgets()
    {
        QLabel label;
        QFrame frame;
        QPushButton button;
        QScrollBar bar;
        QTabBar tabs;
        QComboBox combo;
        QHeaderView header(Qt::Horizontal);
        for (QEvent::Type type : {QEvent::HoverEnter, QEvent::HoverLeave}) {
            QHoverEvent e(type, QPointF(1, 1), QPointF(1, 1), QPointF(0, 0));
            QVERIFY(app()->eventFilter(&label, &e));
            QVERIFY(app()->eventFilter(&frame, &e));
            QVERIFY(!app()->eventFilter(&button, &e));
            QVERIFY(!app()->eventFilter(&bar, &e));
            QVERIFY(!app()->eventFilter(&tabs, &e));
            QVERIFY(!app()->eventFilter(&combo, &e));
            QVERIFY(!app()->eventFilter(&header, &e));
        }
        QHoverEvent move(QEvent::HoverMove, QPointF(1, 1), QPointF(1, 1), QPointF(0, 0));
        QVERIFY(!app()->eventFilter(&label, &move));
    }

    void transparentWindowPalette()
    {
        const QColor c = QApplication::palette().color(QPalette::Active, QPalette::Window);
        QCOMPARE(c, QColor(128, 128, 128, 0));
        QCOMPARE(QApplication::palette().color(QPalette::Disabled, QPalette::Window).alpha(), 0);
    }

    void serverErrorEndsInTheFatalBox()
    {
        const QString err = fatalInChild([] { throw server_error("bad tile 99 %s %d"); });
        QVERIFY2(err.contains(QLatin1String("Invalid server data.\nRefused with message: bad tile 99 %s %d")),
                 qPrintable(err));
    }

    void otherExceptionsEndInTheFatalBox()
    {
        QString err = fatalInChild([] { throw std::runtime_error("no 100% luck"); });
        QVERIFY2(err.contains(QLatin1String("Unhandled Runtime Error.\nError text: no 100% luck")), qPrintable(err));
        err = fatalInChild([] { throw 42; });
        QVERIFY2(err.contains(QLatin1String("Unhandled Runtime Error.")), qPrintable(err));
    }

    void styleSheetsLoadOnceOrTwiceAlike()
    {
        // A run killed after it copied a picture leaves its copies; the next start removes them.
        const QDir logs(Logging::logFolder());
        const QStringList earlier = logs.entryList({QStringLiteral("parlor-style-*")}, QDir::Dirs);
        QTemporaryDir killedRunFront;
        writeImage(killedRunFront.filePath(QStringLiteral("chat-top.png")), QSize(7, 9), Qt::red);
        setupSearchPaths({});
        std::fflush(nullptr);
        if (const pid_t run = ::fork(); run == 0) {
            QDir::setSearchPaths(QStringLiteral("resources"),
                                 QStringList{killedRunFront.path()} + QDir::searchPaths(QStringLiteral("resources")));
            MahjongApplication::styleSheetText();
            ::raise(SIGKILL);
        } else {
            ::waitpid(run, nullptr, 0);
        }
        const QStringList left = logs.entryList({QStringLiteral("parlor-style-*")}, QDir::Dirs);
        QCOMPARE(left.size(), earlier.size() + 1);
        MahjongApplication::removeLeftoverStyleCopies();
        const QString text = MahjongApplication::styleSheetText();
        QCOMPARE(logs.entryList({QStringLiteral("parlor-style-*")}, QDir::Dirs), QStringList());
        QVERIFY(text.contains(QLatin1String("QFrame#MahjongDialog")));
        QVERIFY(text.contains(QLatin1String("QMenu")));
        // The default tree's rules come first.
        QVERIFY(text.indexOf(QLatin1String("Base rules")) < text.indexOf(QLatin1String("edition's rules")));
        app()->loadStyleSheet();
        const QString once = app()->styleSheet();
        app()->loadStyleSheet();
        QCOMPARE(app()->styleSheet(), once);
        QCOMPARE(once, text);
        app()->setStyleSheet(QString());
        // Every picture is named by the file it stands for.
        QVERIFY(!text.contains(QLatin1String("url(resources:")) && text.contains(QLatin1String("url(\":default/")));

        // FIFOs under a style sheet's and a picture's names in front cost nothing.
        QTemporaryDir front;
        const QStringList fifos{front.filePath(QStringLiteral("customui.css")),
                                front.filePath(QStringLiteral("redbackground.png"))};
        for (const QString& fifo : fifos)
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QStringList paths = QDir::searchPaths(QStringLiteral("resources"));
        QDir::setSearchPaths(QStringLiteral("resources"), QStringList{front.path()} + paths);
        QString withFifos;
        const auto readText = [&] { withFifos = MahjongApplication::styleSheetText(); };
        const bool read = sharedmachine::finishesInTime(readText, fifos);
        QDir::setSearchPaths(QStringLiteral("resources"), paths);
        QVERIFY2(read, "a style sheet reader waited on a FIFO");
        QCOMPARE(withFifos, text);
        // A picture in front reaches the style engine as a decoded copy; an SVG
        // under a picture's name (naming a FIFO) reaches nothing, nor the window icon.
        QFile svg(front.filePath(QStringLiteral("icon.png")));
        QVERIFY(svg.open(QIODevice::WriteOnly)
                && svg.write("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'><image "
                             "width='9' height='9' xlink:href='" + QFile::encodeName(fifos.first()) + "'/></svg>") > 0);
        writeImage(front.filePath(QStringLiteral("chat-top.png")), QSize(7, 9), Qt::red);
        QDir::setSearchPaths(QStringLiteral("resources"), QStringList{front.path()} + paths);
        QImage icon;
        QVERIFY(sharedmachine::finishesInTime([&] {
            withFifos = MahjongApplication::styleSheetText();
            icon = PictureFile::image(QStringLiteral("resources:/icon.png"));
        }, {fifos.first()}));
        QDir::setSearchPaths(QStringLiteral("resources"), paths);
        QVERIFY(icon.isNull() && !withFifos.contains(front.path()));
        const qsizetype copy = withFifos.indexOf(QLatin1String("/parlor-style-"));
        // The sweep of earlier runs' copies, made once the window is up, spares this run's.
        MahjongApplication::removeLeftoverStyleCopies();
        QCOMPARE(QImage(QDir::tempPath() + withFifos.mid(copy).section(QLatin1Char('"'), 0, 0)).size(), QSize(7, 9));
        // The copies' folder a full file system (of a child's own): a check box of one's own that cannot be
        // copied gives way to the program's own, the box and its mark still drawn.
        const QString copies = QFileInfo(QDir::tempPath() + withFifos.mid(copy).section(QLatin1Char('"'), 0, 0)).path();
        writeImage(front.filePath(QStringLiteral("checkbox-checked-normal.png")), QSize(90, 70), Qt::blue);
        std::fflush(nullptr);
        int status = 0;
        if (const pid_t child = ::fork(); child == 0) {
            const auto put = [](const char* file, const QByteArray& line) {
                const int fd = ::open(file, O_WRONLY);
                return fd >= 0 && ::write(fd, line.constData(), size_t(line.size())) == line.size() && ::close(fd) == 0;
            };
            const QByteArray uid = QByteArray::number(::getuid()), gid = QByteArray::number(::getgid());
            const bool own = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && put("/proc/self/setgroups", "deny")
                && put("/proc/self/gid_map", "0 " + gid + " 1") && put("/proc/self/uid_map", "0 " + uid + " 1");
            if ((!own && ::unshare(CLONE_NEWNS) != 0) || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || ::mount("tmpfs", QFile::encodeName(copies).constData(), "tmpfs", 0, "size=256k") != 0)
                ::_exit(2);
            const int filler = ::open(QFile::encodeName(copies + QStringLiteral("/filler")).constData(), O_WRONLY | O_CREAT, 0600);
            for (const char block[4096] = {}; ::write(filler, block, sizeof block) > 0;) {
            }
            const bool full = errno == ENOSPC;
            QDir::setSearchPaths(QStringLiteral("resources"), QStringList{front.path()} + paths);
            const QString ownBox = QStringLiteral("url(\":default/checkbox-checked-normal.png\")");
            ::_exit(full && MahjongApplication::styleSheetText().contains(ownBox) ? 0 : 1);
        } else {
            ::waitpid(child, &status, 0);
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
            QSKIP("no file system of its own can be mounted here");
        QCOMPARE(status, 0);
    }

    void styleMetricsAndHints()
    {
        MahjongStyle style;
        QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 15);
        QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarSliderMin), 17);
        QCOMPARE(style.styleHint(QStyle::SH_DialogButtonLayout), 0);
        QCOMPARE(style.styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons), 0);
        QCOMPARE(style.styleHint(QStyle::SH_MessageBox_CenterButtons), 1);
        QVERIFY(style.baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0);
    }

    void scrollBarsAreDrawnFromImages()
    {
        // Images of our own on a search path in front of the compiled trees.
        QTemporaryDir dir;
        const QStringList names = MahjongStyle::scrollBarImageNames(Qt::Vertical);
        QCOMPARE(names.at(0), QStringLiteral("resources:/scroll-vert-up-normal.png"));
        QCOMPARE(names.at(9), QStringLiteral("resources:/scroll-vert-empty-normal.png"));
        const QColor colours[10] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta,
                                    Qt::yellow, Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::gray};
        for (int i = 0; i < 10; ++i) {
            const QString file = names.at(i).mid(QStringLiteral("resources:/").size());
            writeImage(dir.filePath(file), i >= 6 ? QSize(15, 40) : QSize(15, 15), colours[i]);
        }
        // The up arrow is missing in the horizontal set: nothing is drawn for it.
        QDir::setSearchPaths(QStringLiteral("resources"), {dir.path()});

        MahjongStyle style;
        QScrollBar bar(Qt::Vertical);
        bar.setStyle(&style);
        bar.setRange(0, 100);
        bar.setPageStep(10);
        bar.resize(style.pixelMetric(QStyle::PM_ScrollBarExtent), 200);
        QCOMPARE(bar.sizeHint().width(), 15);

        const auto render = [&](QStyle::SubControls active, bool pressed) {
            QStyleOptionSlider opt;
            opt.initFrom(&bar);
            opt.rect = QRect(0, 0, 15, 200);
            opt.orientation = Qt::Vertical;
            opt.minimum = 0;
            opt.maximum = 100;
            opt.pageStep = 10;
            opt.sliderPosition = 50;
            opt.sliderValue = 50;
            opt.subControls = QStyle::SC_All;
            opt.activeSubControls = active;
            if (pressed)
                opt.state |= QStyle::State_Sunken;
            QImage image(15, 200, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            style.drawComplexControl(QStyle::CC_ScrollBar, &opt, &p, nullptr);
            return image;
        };

        QImage normal = render(QStyle::SC_None, false);
        const QRgb up = normal.pixel(7, 3);
        QCOMPARE(QColor(up), QColor(Qt::red));
        QCOMPARE(QColor(normal.pixel(7, 196)), QColor(Qt::cyan));
        QCOMPARE(QColor(normal.pixel(7, 100)), QColor(Qt::darkRed));
        QImage hover = render(QStyle::SC_ScrollBarSubLine, false);
        QCOMPARE(QColor(hover.pixel(7, 3)), QColor(Qt::green));
        QImage pressed = render(QStyle::SC_ScrollBarSubLine, true);
        QCOMPARE(QColor(pressed.pixel(7, 3)), QColor(Qt::blue));
        QCOMPARE(QColor(pressed.pixel(7, 196)), QColor(Qt::cyan));
        QImage sliderPressed = render(QStyle::SC_ScrollBarSlider, true);
        QCOMPARE(QColor(sliderPressed.pixel(7, 100)), QColor(Qt::darkBlue));
        // Without a widget the background is opaque black first; the groove covers the rest.
        QCOMPARE(QColor(normal.pixel(7, 30)), QColor(Qt::gray));

        // A request without slider option draws nothing.
        QStyleOptionComplex plain;
        plain.rect = QRect(0, 0, 15, 200);
        QImage untouched(15, 200, QImage::Format_ARGB32);
        untouched.fill(Qt::white);
        {
            QPainter p(&untouched);
            style.drawComplexControl(QStyle::CC_ScrollBar, &plain, &p, nullptr);
        }
        QCOMPARE(QColor(untouched.pixel(7, 100)), QColor(Qt::white));

        setupSearchPaths({});
    }

    void ninePartKeepsCorners()
    {
        QImage source(10, 10, QImage::Format_ARGB32);
        source.fill(Qt::blue);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                source.setPixel(x, y, qRgb(255, 0, 0));
        QImage target(40, 30, QImage::Format_ARGB32);
        target.fill(Qt::white);
        {
            QPainter p(&target);
            MahjongStyle::drawNinePart(&p, QRect(5, 5, 30, 20), QPixmap::fromImage(source), 3, 3, 3, 3);
        }
        QCOMPARE(QColor(target.pixel(5, 5)), QColor(Qt::red));
        QCOMPARE(QColor(target.pixel(7, 7)), QColor(Qt::red));
        QCOMPARE(QColor(target.pixel(8, 8)), QColor(Qt::blue));
        QCOMPARE(QColor(target.pixel(34, 24)), QColor(Qt::blue));
        QCOMPARE(QColor(target.pixel(4, 4)), QColor(Qt::white));
        QCOMPARE(QColor(target.pixel(35, 25)), QColor(Qt::white));
        // A null image draws nothing.
        QPainter p(&target);
        MahjongStyle::drawNinePart(&p, QRect(0, 0, 40, 30), QPixmap(), 3, 3, 3, 3);
    }

    void lockIsExclusiveWithinAndAcrossProcesses()
    {
        QVERIFY(SingleInstanceLock::instance().tryLock());
        QVERIFY(SingleInstanceLock::instance().isLocked());
        QVERIFY(SingleInstanceLock::lockFilePath().endsWith(
            QLatin1String("ZEPHYRTANGLE-AF4C28F7-F35C-4765-B82F-E6C494FF694C.lock")));
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            // A separate process cannot take it.
            QLockFile other(SingleInstanceLock::lockFilePath());
            other.setStaleLockTime(0);
            ::_exit(other.tryLock(0) ? 3 : 4);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 4);
        SingleInstanceLock::instance().unlock();
        QVERIFY(!SingleInstanceLock::instance().isLocked());
        QVERIFY(!QFile::exists(SingleInstanceLock::lockFilePath()));
    }
};

int main(int argc, char** argv)
{
    MahjongApplication app(argc, argv);
    TestApplicationStyle test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application_style.moc"
