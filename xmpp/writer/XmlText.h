#pragma once

#include <QString>

class QXmlStreamWriter;

namespace xmpp {

/// The text without the characters that XML 1.0 forbids (control characters
/// other than tab, line feed and carriage return, lone surrogates, U+FFFE
/// and U+FFFF). Returns the text itself, shared, when nothing needs to go.
QString xmlSafe(const QString& text);

/// Writes <name>text</name> with the text made safe.
void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text);
/// Writes an attribute with the value made safe.
void writeAttribute(QXmlStreamWriter& writer, const QString& name, const QString& value);

} // namespace xmpp
