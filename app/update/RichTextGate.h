#pragma once

#include <QStringList>
#include <QStringView>

class QTextDocument;
class QUrl;

/// The one way in for rich text from outside the program (an update's
/// description, which comes over plain HTTP): the HTML is read by a small
/// tokenizer of its own in time linear in its length, and the document is
/// built anew from what a note needs, nothing else: paragraphs, line breaks,
/// bold, italic and underline, headings, lists a few levels deep, and
/// pictures held in the text as data (data: addresses). A link shows as its
/// text; tables, frames, styles, style sheets, scripts and every attribute
/// but a picture's address are left out. The text is bounded as another
/// user's chat text is (ChatOutputWidget::shownText()), over the whole
/// document at once, so that the document lays out in bounded time.
namespace RichTextGate {

/// What one use of rich text takes.
struct Limits
{
    /// The text shown, counted as ChatOutputWidget::shownText() counts; the
    /// text ends with its ElisionMark where it was cut.
    qsizetype maxShown = 0;
    /// Blocks (paragraphs, headings, list items) and line breaks in them.
    int maxLines = 0;
    /// Lists inside lists; deeper ones go on at the deepest level.
    int maxListDepth = 0;
    /// Pictures; those beyond are left out.
    int maxPictures = 0;
};

/// Fills the empty `document` with what the gate lets through of `html`.
/// Returns the data: addresses of the pictures it holds, in order: the
/// document names the picture at index i pictureName(i), and shows only
/// what its owner gives for that name (QTextDocument::loadResource()).
QStringList fill(QTextDocument& document, QStringView html, const Limits& limits);

/// The name of the picture at `index` in a filled document.
QString pictureName(int index);
/// The index of a picture name, or -1 for any other name.
int pictureIndex(const QUrl& name);

} // namespace RichTextGate
