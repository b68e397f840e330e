#pragma once

#include <QApplication>

/// The program's application object. Guards event delivery so that an
/// escaping exception ends the program through the fatal log path, swallows
/// hover events for widgets without hover styling, makes window backgrounds
/// transparent and loads the application style sheet.
class MahjongApplication : public QApplication
{
    Q_OBJECT

public:
    MahjongApplication(int& argc, char** argv);
    ~MahjongApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// The text of "resources:/defaultui.css" followed by "resources:/customui.css".
    static QString styleSheetText();
    /// Removes the folders of style picture copies that runs killed before
    /// their end left behind; called at the start, before the style sheets.
    static void removeLeftoverStyleCopies();

public Q_SLOTS:
    /// Applies the style sheets again (also at run time, for edited files on a search path).
    void loadStyleSheet();

private:
    bool firstWindowShown = false;
    bool mainWindowShown = false;
};
