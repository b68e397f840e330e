#pragma once

// Answers the modal message and input boxes that a component shows, and
// remembers their titles and texts, so that a test can go on and check them.

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

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
            const Qt::TextFormat format = box->textFormat();
            if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(box->text())))
                markup << box->text();
            box->done(QMessageBox::Ok);
        }
    }

    QTimer timer;
};
