#pragma once

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
    /// The longest text a page may hand the program in one call (a tab, a
    /// table path, an address); a call with a longer one is refused.
    static constexpr qsizetype maxArgumentLength = 2048;

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
    bool open(const QString& argument = QString()) const;

    QString mahjongHost;
    std::function<bool()> allowed;
};
