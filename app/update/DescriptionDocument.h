#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QSet>
#include <QTextDocument>
#include <QUrl>

#include <atomic>
#include <memory>

/// The document of a text from a server that is shown with its formatting:
/// of what the text names, only pictures held in the text itself (data:
/// addresses) are shown, decoded one after another off the GUI thread
/// through the picture decoder within the advertisement's limits. No file,
/// program resource or network address it names is ever opened, and style
/// sheets it names are not loaded.
class DescriptionDocument : public QTextDocument
{
public:
    /// More pictures than a description needs; those beyond are not shown.
    static constexpr int maxPictures = 8;

    explicit DescriptionDocument(QObject* parent = nullptr);
    ~DescriptionDocument() override;

    /// How many pictures have been decoded so far, shown or refused.
    int picturesDone() const { return int(pictures.size()); }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void decodeNext();

    /// The pictures decoded (a null pixmap for one refused), by address.
    QHash<QUrl, QPixmap> pictures;
    /// Addresses asked for and not yet decoded, the first one under way.
    QList<QUrl> waiting;
    QSet<QUrl> asked;
    /// Set when the document goes: the decode under way gives up.
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
};
