#pragma once

#include <QByteArray>
#include <QString>

/// The one way in for an SVG document that the program draws (tile sheets,
/// the table cloth, the hand frame, the wind markers, the riichi stick): the
/// bytes handed to the SVG renderer refer to nothing outside themselves.
///
/// The renderer would read what a document names on its own, past every
/// check of ours: an `<image>` names a file (or a FIFO, or a "file:" address)
/// it opens, and an "xml-stylesheet" instruction a style sheet. So the
/// document is written out anew: its elements, attributes and text as they
/// are, without comments, processing instructions or its DTD (its entities
/// already expanded), and an `<image>` only when it holds its picture as a
/// "data:" address in base64 that the picture decoder's checks take. The
/// renderer decodes a picture by its content: a PNG goes to it as the
/// decoder would read it, a JPEG behind a comment of ours that fixes its
/// first bytes, and any other format as a PNG of what was decoded, so that
/// no picture is ever taken for another format. Any other `<image>` is left
/// out, with one warning for the document that names the elements (the
/// tile faces) that lost a picture. The renderer draws no clip path (and
/// would draw a clip path's shapes as shapes): clip paths are left out, and
/// a picture cut by a rectangle, an `<image>` or a `<use>` of one or of a
/// group or symbol holding just one (a sheet of faces that are parts of one
/// picture), is written as an `<image>` of the part that shows. A document
/// that cuts a picture any other way, or any other `<use>`, is refused
/// whole, rather than drawn with the whole picture on every face.
/// Reentrant: any thread.
namespace SvgDocument {

/// The longest document read.
inline constexpr qint64 maxFileSize = 16 * 1024 * 1024;
/// The pictures held in one document are at most this many, none larger
/// on a side, and take at most this many pixels together: the bounds of a
/// tile sheet that is a picture. Those past any of them are left out.
inline constexpr int maxPictures = 256;
inline constexpr int maxPictureSide = 16384;
inline constexpr qint64 maxPicturePixels = 4096 * 4096;

/// The document as the renderer is to see it; empty when it is not
/// well-formed XML or cuts a picture or a `<use>` by a clip path in a way
/// it cannot write out (the renderer then has nothing to draw), with the
/// reason in `why`. `name` is for the warnings.
QByteArray selfContained(const QByteArray& svg, const QString& name, QString* why = nullptr);

/// Reads a document file (a name on a search path, or a path: ResourceFile)
/// and returns selfContained() of it; empty, with a warning and the reason
/// in `why`, when it cannot be read or is longer than maxFileSize.
QByteArray read(const QString& name, QString* why = nullptr);

} // namespace SvgDocument
