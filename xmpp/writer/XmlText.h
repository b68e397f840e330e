#pragma once

#include <QString>

class QDomElement;
class QXmlStreamWriter;

namespace xmpp {

class XmlElement;

/// The text without the characters that XML 1.0 forbids (control characters
/// other than tab, line feed and carriage return, lone surrogates, U+FFFE
/// and U+FFFF). Returns the text itself, shared, when nothing needs to go.
QString xmlSafe(const QString& text);

/// Writes <name>text</name> with the text made safe.
void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text);
/// Writes an attribute with the value made safe.
void writeAttribute(QXmlStreamWriter& writer, const QString& name, const QString& value);

/// Writes a copy of a read element and everything in it: names, namespaces,
/// attributes and text as read (values and text made safe); comments and
/// processing instructions are left out. `inheritedNamespace` is the default
/// namespace where the copy goes: an element declares its namespace only
/// where it differs from its parent's.
void writeElementCopy(QXmlStreamWriter& writer, const QDomElement& element, const QString& inheritedNamespace);
void writeElementCopy(QXmlStreamWriter& writer, const XmlElement& element, const QString& inheritedNamespace);

} // namespace xmpp
