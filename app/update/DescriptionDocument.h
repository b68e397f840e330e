#pragma once

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTextDocument>

#include <atomic>
#include <memory>

/// The document of an update's description, a text from a server shown
/// with its formatting: built through the rich-text gate (RichTextGate),
/// so that whatever the text holds it is laid out in bounded time. Of what
/// the text names, only pictures held in the text itself (data: addresses)
/// are shown, decoded one after another off the GUI thread through the
/// picture decoder within the advertisement's limits, and put in all at
/// once: the document is laid out again once, when the last one is in. No
/// file, program resource or network address it names is ever opened.
class DescriptionDocument : public QTextDocument
{
public:
    /// More pictures than a description needs; those beyond are not shown.
    static constexpr int maxPictures = 8;
    /// The text shown, counted as another user's chat text is counted
    /// (ChatOutputWidget::shownText()): two and a half chat lines, a page of
    /// a note. The layout breaks a long word into lines in time that grows
    /// with the square of its length.
    static constexpr qsizetype maxShownLength = 5000;
    /// Paragraphs, headings, list items and line breaks.
    static constexpr int maxLines = 300;
    /// Lists inside lists.
    static constexpr int maxListDepth = 4;

    /// The document of `html`; its pictures start decoding at once.
    explicit DescriptionDocument(const QString& html, QObject* parent = nullptr);
    ~DescriptionDocument() override;

    /// How many pictures have been decoded so far, shown or refused.
    int picturesDone() const { return int(pictures.size()); }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void decodeNext();

    /// The data: addresses of the pictures, by index.
    QStringList addresses;
    /// The pictures decoded (a null pixmap for one refused), by index.
    QList<QPixmap> pictures;
    /// Set when the document goes: the decode under way gives up.
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
};
