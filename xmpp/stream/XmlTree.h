#pragma once

#include <QList>
#include <QString>

namespace xmpp {

class XmlElement;

/// A node of a received element's tree, an element or a run of text, as the
/// element readers see it: a handle, cheap to copy, that keeps its node (and
/// what hangs below it) alive; a parent owns its children. The tree is
/// built by the stream parser for one top-level element at a time and read
/// on the same thread, so its counts are not atomic.
///
/// The calls and their meanings follow the DOM's: tag names are qualified
/// names, an attribute is found by its qualified name or by namespace and
/// local name, and an element's text is that of all the text below it.
/// Attributes are a short list in the element, which is what a stanza needs:
/// Qt's DOM takes about 0.7 us to make and drop each one, more than the XML
/// reader takes for a whole stanza.
class XmlNode
{
public:
    XmlNode() = default;
    XmlNode(const XmlNode& other);
    XmlNode(XmlNode&& other) noexcept;
    XmlNode& operator=(const XmlNode& other);
    XmlNode& operator=(XmlNode&& other) noexcept;
    ~XmlNode();

    bool isNull() const { return !m_d; }
    bool isElement() const;
    bool isText() const;
    /// The element itself, or a null element for text.
    XmlElement toElement() const;

    XmlNode parentNode() const;
    XmlNode firstChild() const;
    XmlNode nextSibling() const;
    bool hasChildNodes() const;
    /// The first child (next sibling) element with the tag name (empty: any)
    /// in the namespace (empty: any).
    XmlElement firstChildElement(const QString& tagName = QString(), const QString& namespaceUri = QString()) const;
    XmlElement nextSiblingElement(const QString& tagName = QString(), const QString& namespaceUri = QString()) const;

    /// An element's local name and namespace; empty for text.
    QString localName() const;
    QString namespaceURI() const;
    /// A text's characters; a null string for an element.
    QString nodeValue() const;

    /// Moves `child` (out of its parent, if it has one) to the end of this
    /// element's children; returns it, or a null node when it cannot go
    /// there (this is no element, or it is this node or one above it).
    XmlNode appendChild(const XmlNode& child);
    /// Takes `child` out of this node's children; a null node when it is
    /// not one of them.
    XmlNode removeChild(const XmlNode& child);

    bool operator==(const XmlNode& other) const { return m_d == other.m_d; }
    bool operator!=(const XmlNode& other) const { return m_d != other.m_d; }

    /// A text node that has no parent yet.
    static XmlNode createText(const QString& text);

    /// The node itself, kept inside the tree's code.
    struct Data;

protected:
    explicit XmlNode(Data* d);
    Data* m_d = nullptr;
};

class XmlElement : public XmlNode
{
public:
    struct Attribute
    {
        QString namespaceUri;
        QString qualifiedName;
        QString localName;
        QString value;
        QString prefix() const;
    };

    XmlElement() = default;
    /// A new element without a parent, named by a qualified name
    /// ("prefix:local" or "local") in a namespace.
    static XmlElement create(const QString& namespaceUri, const QString& qualifiedName);

    /// A copy with the attributes, without a parent or children.
    XmlElement shallowCopy() const;
    /// The qualified name.
    QString tagName() const;
    QString attribute(const QString& qualifiedName, const QString& defaultValue = QString()) const;
    QString attributeNS(const QString& namespaceUri, const QString& localName,
                        const QString& defaultValue = QString()) const;
    bool hasAttribute(const QString& qualifiedName) const;
    bool hasAttributeNS(const QString& namespaceUri, const QString& localName) const;
    /// Sets the attribute of that qualified name (no namespace), replacing
    /// one of the same name.
    void setAttribute(const QString& qualifiedName, const QString& value);
    /// Sets the attribute of that namespace and qualified name, replacing
    /// one of the same namespace and local name.
    void setAttributeNS(const QString& namespaceUri, const QString& qualifiedName, const QString& value);
    /// The attributes in the order they were set; empty for a null element.
    const QList<Attribute>& attributes() const;

    /// The characters of every text below the element, in order; a null
    /// string for a null element.
    QString text() const;
    /// The elements below this one (not itself), in document order, of that
    /// namespace and local name ("*" takes any).
    QList<XmlElement> elementsByTagNameNS(const QString& namespaceUri, const QString& localName) const;

private:
    friend class XmlNode;
    explicit XmlElement(Data* d) : XmlNode(d) {}
};

} // namespace xmpp
