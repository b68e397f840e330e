// The avatar chooser: default pictures from the "avatars" search path or a
// file of the user's own, sent fitted into 64 x 64 pixels.
#include "AvatarDialog.h"

#include "Avatar.h"
#include "AvatarDelegate.h"
#include "ModelessMsgBox.h"
#include "PictureDecoder.h"
#include "SocialLog.h"
#include "Utils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

QImage fitted(const QImage& image)
{
    return image.scaled(64, 64, Qt::KeepAspectRatio, Qt::FastTransformation);
}

/// A picture file to choose from: a camera's picture is taken, of any size a
/// JPEG can have, decoded straight at about the size it is sent at (an
/// eighth of its size at least) within the memory bound.
PictureDecoder::Result decodeFile(const QString& path, const std::atomic<bool>* stop = nullptr)
{
    constexpr qint64 maxFileSize = 32 * 1024 * 1024;
    const PictureDecoder::Limits limits{PictureDecoder::Format::Png | PictureDecoder::Format::Jpeg
                                            | PictureDecoder::Format::Gif | PictureDecoder::Format::Bmp,
                                        65535, 40'000'000, QSize(64, 64), stop};
    return PictureDecoder::decodeFile(path, limits, maxFileSize);
}

}

AvatarDialog::AvatarDialog(QWidget* parent)
    : MahjongDialog(parent, true)
{
    qRegisterMetaType<Avatar>("Avatar");
    m_content = new QWidget(this);
    setupUi();
    m_content->setFixedSize(318, 399);

    m_model = new QStandardItemModel(m_content);
    connect(m_avatarView, &QListView::doubleClicked, this, &AvatarDialog::onAvatarDoubleClicked);
    m_avatarView->setItemDelegate(new AvatarDelegate(this));
    m_avatarView->setModel(m_model);
    setKeyAnswers({m_okButton}, {m_cancelButton});

    loadDefaultAvatars();
    const QModelIndex first = m_model->index(0, 0);
    if (first.isValid())
        m_avatarView->setCurrentIndex(first);

    setContentWidget(m_content);
    setWindowTitle(m_content->windowTitle());
    QMetaObject::connectSlotsByName(this);
}

AvatarDialog::~AvatarDialog()
{
    endWaiting();
}

void AvatarDialog::setupUi()
{
    m_content->setObjectName(QStringLiteral("AvatarDialog"));
    m_content->resize(350, 399);
    m_content->setMinimumSize(340, 180);
    m_content->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto* vboxLayout = new QVBoxLayout(m_content);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));

    auto* hboxLayout = new QHBoxLayout();
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    m_avatarView = new QListView(m_content);
    m_avatarView->setObjectName(QStringLiteral("avatarView"));
    m_avatarView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_avatarView->setMinimumSize(0, 0);
    m_avatarView->setFrameShape(QFrame::NoFrame);
    m_avatarView->setLineWidth(0);
    m_avatarView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_avatarView->setDropIndicatorShown(false);
    m_avatarView->setFlow(QListView::LeftToRight);
    m_avatarView->setWrapping(true);
    m_avatarView->setResizeMode(QListView::Adjust);
    m_avatarView->setSpacing(0);
    m_avatarView->setUniformItemSizes(false);
    m_avatarView->setSelectionRectVisible(false);
    hboxLayout->addWidget(m_avatarView);
    vboxLayout->addLayout(hboxLayout);

    auto* hboxLayout1 = new QHBoxLayout();
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    m_label_2 = new QLabel(m_content);
    m_label_2->setObjectName(QStringLiteral("label_2"));
    m_label_2->setFrameShadow(QFrame::Plain);
    m_label_2->setAlignment(Qt::AlignCenter);
    m_label_2->setWordWrap(true);
    hboxLayout1->addWidget(m_label_2);
    vboxLayout->addLayout(hboxLayout1);

    auto* hboxLayout2 = new QHBoxLayout();
    hboxLayout2->setObjectName(QStringLiteral("hboxLayout2"));
    hboxLayout2->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_customButton = new QPushButton(m_content);
    m_customButton->setObjectName(QStringLiteral("customButton"));
    hboxLayout2->addWidget(m_customButton);
    m_okButton = new QPushButton(m_content);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    hboxLayout2->addWidget(m_okButton);
    m_cancelButton = new QPushButton(m_content);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    hboxLayout2->addWidget(m_cancelButton);
    hboxLayout2->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addLayout(hboxLayout2);

    retranslateUi();
}

void AvatarDialog::retranslateUi()
{
    m_content->setWindowTitle(QCoreApplication::translate("AvatarDialog", "Choose avatar"));
    m_label_2->setText(
        QCoreApplication::translate("AvatarDialog", "Avatar images can only be 64x64 pixels (will be scaled down if larger)"));
    m_customButton->setText(QCoreApplication::translate("AvatarDialog", "Custom..."));
    m_okButton->setText(QCoreApplication::translate("AvatarDialog", "Ok"));
    m_cancelButton->setText(QCoreApplication::translate("AvatarDialog", "Cancel"));
}

void AvatarDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    MahjongDialog::changeEvent(event);
}

void AvatarDialog::loadDefaultAvatars()
{
    const QStringList filters{QStringLiteral("*.png"), QStringLiteral("*.gif"), QStringLiteral("*.jpg"),
                              QStringLiteral("*.bmp")};
    const QStringList directories = QDir::searchPaths(QStringLiteral("avatars"));
    for (const QString& directory : directories) {
        const QFileInfoList files = QDir(directory).entryInfoList(filters, QDir::Files, QDir::Name);
        for (const QFileInfo& file : files) {
            const PictureDecoder::Result result = decodeFile(file.absoluteFilePath());
            const QImage image = PictureDecoder::imageOf(result);
            if (image.isNull()) {
                qCWarning(lcSocial) << "failed to load default avatar from" << file.absoluteFilePath() << "-"
                                    << PictureDecoder::errorOf(result);
                continue;
            }
            addAvatar(image);
        }
    }
}

void AvatarDialog::addAvatar(const QImage& image)
{
    auto* item = new QStandardItem();
    item->setData(QVariant::fromValue(Avatar(fitted(image))), Qt::DisplayRole);
    item->setEditable(false);
    m_model->setItem(m_model->rowCount(), 0, item);
}

void AvatarDialog::sendAvatar(const QImage& image)
{
    if (m_uploading)
        return;
    beginWaiting();
    Q_EMIT changeAvatar(image);
}

void AvatarDialog::beginWaiting()
{
    // One choice at a time, from the decoding of a file to the upload's
    // outcome: the wait cursor is pushed here exactly once and popped
    // exactly once when the outcome arrives or the dialog goes.
    m_uploading = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void AvatarDialog::endWaiting()
{
    if (m_decodeStop)
        m_decodeStop->store(true); // its picture is no longer wanted
    m_decodeStop.reset();
    if (!m_uploading)
        return;
    m_uploading = false;
    QApplication::restoreOverrideCursor();
}

void AvatarDialog::warn(const QString& text)
{
    QWidget* parent = findMainWindow();
    ModelessMsgBox::warning(parent ? parent : parentWidget(), windowTitle(), text, QDialogButtonBox::Ok);
}

void AvatarDialog::onAvatarDoubleClicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.userType() != qMetaTypeId<Avatar>())
        return;
    sendAvatar(data.value<Avatar>().image);
}

void AvatarDialog::on_okButton_clicked()
{
    onAvatarDoubleClicked(m_avatarView->currentIndex());
}

void AvatarDialog::on_cancelButton_clicked()
{
    close();
}

void AvatarDialog::on_customButton_clicked()
{
    if (m_uploading || findChild<QFileDialog*>() != nullptr)
        return;
    // Opened, not run: a chooser's own event loop would run inside this
    // dialog, which an answer may close and delete meanwhile.
    auto* picker = new QFileDialog(this, tr("Locate Avatar Image"), QDir::homePath(),
                                   tr("Image files") + QStringLiteral(" (*.png *.gif *.jpg *.bmp)"));
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->setFileMode(QFileDialog::ExistingFile);
    connect(picker, &QFileDialog::fileSelected, this, [this](const QString& fileName) {
        if (!fileName.isEmpty())
            chooseCustomFile(fileName);
    });
    picker->open();
}

void AvatarDialog::chooseCustomFile(const QString& fileName)
{
    if (m_uploading)
        return;
    const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    if (!(QFile::permissions(fileName) & readable)) {
        warn(tr("The file %1 is unreadable").arg(fileName));
        return;
    }
    // Decoded off the GUI thread: a file of many megabytes takes its time.
    beginWaiting();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_decodeStop = stop;
    auto* watcher = new QFutureWatcher<PictureDecoder::Result>(this);
    connect(watcher, &QFutureWatcher<PictureDecoder::Result>::finished, this, [this, watcher, stop, fileName] {
        watcher->deleteLater();
        if (stop->load())
            return; // closed meanwhile
        m_decodeStop.reset();
        const PictureDecoder::Result result = watcher->result();
        const QImage image = PictureDecoder::imageOf(result);
        if (image.isNull()) {
            qCWarning(lcSocial) << "avatar picture" << fileName << "left out:" << PictureDecoder::errorOf(result);
            endWaiting();
            const bool tooLarge = std::get<PictureDecoder::Error>(result).kind == PictureDecoder::Error::TooLarge;
            warn((tooLarge ? tr("The file %1 is too large") : tr("The file %1 is an invalid image")).arg(fileName));
            return;
        }
        Q_EMIT changeAvatar(fitted(image));
    });
    watcher->setFuture(QtConcurrent::run([fileName, stop] { return decodeFile(fileName, stop.get()); }));
}

void AvatarDialog::onChangeAvatarFailed()
{
    // The outcome of somebody else's upload is none of this dialog's business.
    if (!m_uploading || m_decodeStop)
        return;
    endWaiting();
    warn(tr("Failed to change avatar"));
}

void AvatarDialog::onChangeAvatarSucceded()
{
    // Only the outcome of this dialog's own upload closes it: the success of
    // one that an earlier, closed dialog started must not close this one
    // while the player is choosing.
    if (!m_uploading || m_decodeStop)
        return;
    close();
}

void AvatarDialog::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_avatarView->hasFocus()) {
        on_okButton_clicked();
        return;
    }
    MahjongDialog::keyPressEvent(event);
}

void AvatarDialog::closeEvent(QCloseEvent* event)
{
    endWaiting();
    MahjongDialog::closeEvent(event);
}
