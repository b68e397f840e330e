#pragma once

// Answers the modal message and input boxes that a component shows, and
// remembers their titles and texts, so that a test can go on and check them.

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <functional>

class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start();
    }

    /// "title|text" of every box seen, in order.
    QStringList seen;
    /// The texts of those that showed their text as markup.
    QStringList markup;
    /// Runs as each message box is seen, while it is open.
    std::function<void()> whileOpen;
    /// The most message boxes seen open at once.
    int mostOpen = 0;

private:
    void poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* input = qobject_cast<QInputDialog*>(w); input && input->isVisible()) {
                seen << input->windowTitle() + QLatin1Char('|') + input->labelText();
                input->reject();
                continue;
            }
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible() || box->property("answered").toBool())
                continue;
            box->setProperty("answered", true);
            seen << box->windowTitle() + QLatin1Char('|') + box->text();
            const QWidgetList windows = QApplication::topLevelWidgets();
            mostOpen = std::max<int>(mostOpen, std::count_if(windows.begin(), windows.end(), [](QWidget* o) {
                return qobject_cast<QMessageBox*>(o) && o->isVisible();
            }));
            if (whileOpen)
                whileOpen();
            const Qt::TextFormat format = box->textFormat();
            if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(box->text())))
                markup << box->text();
            box->done(QMessageBox::Ok);
        }
    }

    QTimer timer;
};
