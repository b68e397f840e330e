#include "XmlText.h"

#include "XmlTree.h"

#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QXmlStreamWriter>

namespace xmpp {

namespace {

/// The length of the valid character at i (1 or 2 units), or 0 when XML 1.0 forbids it.
int validCharLength(const QString& text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD ? 1 : 0;
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode()) ? 2 : 0;
    if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
        return 0;
    return 1;
}

/// One attribute of an element copied; declarations are made by the writer itself.
void copyAttribute(QXmlStreamWriter& writer, const QString& namespaceUri, const QString& name, const QString& prefix,
                   const QString& value)
{
    if (name == QLatin1String("xmlns") || prefix == QLatin1String("xmlns"))
        return;
    if (namespaceUri.isEmpty())
        writer.writeAttribute(name, xmlSafe(value));
    else
        writer.writeAttribute(namespaceUri, name, xmlSafe(value));
}

} // namespace

QString xmlSafe(const QString& text)
{
    qsizetype i = 0;
    for (int n; i < text.size() && (n = validCharLength(text, i)) != 0; i += n) {
    }
    if (i == text.size())
        return text;
    QString out = text.left(i);
    out.reserve(text.size());
    while (i < text.size()) {
        const int n = validCharLength(text, i);
        if (n == 0) {
            ++i;
            continue;
        }
        out.append(text.mid(i, n));
        i += n;
    }
    return out;
}

void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text)
{
    writer.writeTextElement(name, xmlSafe(text));
}

void writeAttribute(QXmlStreamWriter& writer, const QString& name, const QString& value)
{
    writer.writeAttribute(name, xmlSafe(value));
}

void writeElementCopy(QXmlStreamWriter& writer, const QDomElement& element, const QString& inheritedNamespace)
{
    const QString ns = element.namespaceURI();
    writer.writeStartElement(element.localName().isEmpty() ? element.tagName() : element.localName());
    if (ns != inheritedNamespace)
        writer.writeDefaultNamespace(ns);
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr a = attributes.item(i).toAttr();
        copyAttribute(writer, a.namespaceURI(), a.localName().isEmpty() ? a.name() : a.localName(), a.prefix(), a.value());
    }
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            writeElementCopy(writer, child.toElement(), ns);
        else if (child.isText() || child.isCDATASection())
            writer.writeCharacters(xmlSafe(child.nodeValue()));
    }
    writer.writeEndElement();
}

void writeElementCopy(QXmlStreamWriter& writer, const XmlElement& element, const QString& inheritedNamespace)
{
    const QString ns = element.namespaceURI();
    writer.writeStartElement(element.localName().isEmpty() ? element.tagName() : element.localName());
    if (ns != inheritedNamespace)
        writer.writeDefaultNamespace(ns);
    for (const XmlElement::Attribute& a : element.attributes())
        copyAttribute(writer, a.namespaceUri, a.localName, a.prefix(), a.value);
    for (XmlNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            writeElementCopy(writer, child.toElement(), ns);
        else if (child.isText())
            writer.writeCharacters(xmlSafe(child.nodeValue()));
    }
    writer.writeEndElement();
}

} // namespace xmpp
