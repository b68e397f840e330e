#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>

#include <memory>

class InstallerFetch;
class QLabel;
class QProgressDialog;
class QPushButton;
class QTemporaryFile;
class QTextEdit;
class QTimer;
class QWidget;

/// Offers a newer client: shows its description, downloads the installer on
/// request and starts it, or lets the user quit or (unless the update is
/// required) continue with this version. Accepted means "Continue".
class NewVersionDialog : public QDialog
{
    Q_OBJECT

public:
    NewVersionDialog(QWidget* parent, const QString& title, const QString& description, const QUrl& link, bool required);
    ~NewVersionDialog() override;

    /// The version list's address. An installer is only started when it came
    /// over HTTPS or from this address's host.
    void setVersionListUrl(const QUrl& url) { versionListUrl = url; }

    /// Whether an installer from this address may be started.
    static bool isTrustedSource(const QUrl& link, const QUrl& versionListUrl);
    /// The temporary file name template for a download address: the last
    /// path segment's first and last dot-separated parts around "XXXXXX.".
    static QString fileNameTemplate(const QUrl& link);
    /// The end of the name of a download's file until the whole installer
    /// is there; the finished file drops it.
    static constexpr char unfinishedSuffix[] = ".unfinished-download";
    /// Removes the files of downloads that never finished (the program
    /// ended during one). Only for the instance that holds the lock: another
    /// one's download may be under way.
    static void removeUnfinishedDownloads();

    /// How the program ends after the installer was started (or failed to
    /// start). Tests replace it; the program tells the application to exit.
    static void (*exitProgram)(int code);
    /// How long a download may go without a byte before it is given up.
    /// Tests shorten it.
    static int stallTimeoutMs;

protected:
    void changeEvent(QEvent* e) override;

private Q_SLOTS:
    void downloadClicked();
    void cancel();
    void requestFinished();
    void dataRead(qint64 done, qint64 total);
    void headersComplete();
    void writeData();
    /// Nothing arrived for stallTimeoutMs.
    void stalled();

private:
    void retranslateUi();
    void dropFile();
    void startInstaller(const QString& path);
    /// Ends the download with a box saying `text`; no other box follows.
    void refuse(const QString& text);
    /// A write to the file failed with `code` (errno, 0 when none was set).
    void writeFailed(int code);
    /// Why a download that ended without an error is still not the whole
    /// installer; empty when it is.
    QString incompleteReason(InstallerFetch& done) const;

    // form
    QTextEdit* description;
    QPushButton* downloadButton;
    QWidget* widget;
    QPushButton* quitButton;
    QPushButton* okButton;

    std::unique_ptr<QTemporaryFile> file;
    QProgressDialog* progress;
    QTimer* stall;
    QPointer<InstallerFetch> reply;
    QUrl link;
    QUrl versionListUrl;
    bool incomplete = false;
    bool required;
    bool installAfterDownload = false;
    bool aborted = false;
    bool failedToWrite = false;
    /// Bytes of the current download written so far.
    qint64 received = 0;
    QString writeError;
};
