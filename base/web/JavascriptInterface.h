#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

/// The program object that page script sees as "client". Each operation only
/// emits the matching signal; the owner connects what it supports.
class JavascriptInterface : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isDebug READ isDebug CONSTANT)
    Q_PROPERTY(QString mahjongHost READ getMahjongHost CONSTANT)

public:
    /// The longest text a page may hand the program for what it is; a call
    /// with a longer one is refused with a warning. A tab is named by a word.
    static constexpr qsizetype maxTabLength = 64;
    /// A table's lobby path (as "/Regular/ForFun/Riichi/Express/4/").
    static constexpr qsizetype maxPathLength = 1024;
    /// An address: four times the length every part of the web is asked to
    /// take (8,000), well below what a desktop browser's command line may hold.
    static constexpr qsizetype maxAddressLength = 32768;

    explicit JavascriptInterface(QObject* parent);

    bool isDebug() const { return false; }
    QString getMahjongHost() const { return mahjongHost; }
    void setMahjongHost(const QString& host) { mahjongHost = host; }

    /// Calls are only passed on while this answers true (the page now shown
    /// is one of the program's own or of the service's web host).
    void setGate(std::function<bool()> gate) { allowed = std::move(gate); }

public Q_SLOTS:
    void displayTab(const QString& tab);
    void joinTable(const QString& adress);
    void launchBrowser(const QString& adress);
    void displayTournament(qint32 tid);
    void close();

Q_SIGNALS:
    void onDisplayTab(const QString& tab);
    void onJoinTable(const QString& adress);
    void onLaunchBrowser(const QString& adress);
    void onDisplayTournament(qint32 tid);
    void onClose();
    /// When the browser dialog that owns the object is being closed.
    void closeEvent();

private:
    /// Whether a call may go on: from a page that may use the object, with
    /// a text (`what` it is) of at most `limit` characters.
    bool open(const QString& argument = QString(), qsizetype limit = 0, const char* what = nullptr);
    /// Logs why a call was refused, at most a line a second: a page may call in a loop.
    void refuse(const QString& why);

    QString mahjongHost;
    std::function<bool()> allowed;
    QElapsedTimer lastRefusalSaid;
    int refusalsUnsaid = 0;
};
