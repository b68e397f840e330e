#pragma once

#include "MahjongDialog.h"

#include <atomic>
#include <memory>

class QImage;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;
class QStandardItemModel;

/// The chooser of the own player picture: the default avatars as a
/// wrapping grid and a file chooser for a picture of the user's own. The
/// choice, fitted into 64 x 64 pixels, leaves by changeAvatar; the upload's
/// outcome comes back through onChangeAvatarSucceded (the dialog closes) or
/// onChangeAvatarFailed (a warning, the dialog stays), taken only while this
/// dialog waits for an upload of its own. While an upload is on its way the
/// wait cursor shows once and further choices are ignored. The file chooser
/// is opened as a window of its own, never run in a loop of this dialog.
class AvatarDialog : public MahjongDialog
{
    Q_OBJECT

public:
    explicit AvatarDialog(QWidget* parent = nullptr);
    ~AvatarDialog() override;

    /// Appends a picture to the grid, fitted into 64 x 64 pixels.
    void addAvatar(const QImage& image);
    /// Sends the picture of a file the user chose once it is decoded (off
    /// the GUI thread, waiting as for an upload), or warns when it cannot be
    /// read or is no picture.
    void chooseCustomFile(const QString& fileName);

    QListView* avatarView() const { return m_avatarView; }
    QStandardItemModel* model() const { return m_model; }
    QPushButton* customButton() const { return m_customButton; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    /// Whether a choice was sent and its outcome has not come back yet.
    bool isUploading() const { return m_uploading; }

public Q_SLOTS:
    void onChangeAvatarSucceded();
    void onChangeAvatarFailed();

Q_SIGNALS:
    /// The user chose a picture (at most 64 x 64 pixels).
    void changeAvatar(const QImage& pixmap);

private Q_SLOTS:
    void on_customButton_clicked();
    void on_cancelButton_clicked();
    void on_okButton_clicked();
    void onAvatarDoubleClicked(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void loadDefaultAvatars();
    void sendAvatar(const QImage& image);
    void beginWaiting();
    void endWaiting();
    void warn(const QString& text);

    QWidget* m_content = nullptr;
    QStandardItemModel* m_model = nullptr;
    QListView* m_avatarView = nullptr;
    QLabel* m_label_2 = nullptr;
    QPushButton* m_customButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    bool m_uploading = false;
    /// Set while a chosen file is decoded; set to true to give up on it.
    std::shared_ptr<std::atomic<bool>> m_decodeStop;
};
