#include "XmlTree.h"

#include <utility>
#include <vector>

namespace xmpp {

struct XmlNode::Data
{
    /// Handles, and one more while a parent holds the node.
    int ref = 0;
    bool element = false;
    Data* parent = nullptr;
    Data* first = nullptr;
    Data* last = nullptr;
    Data* prev = nullptr;
    Data* next = nullptr;
    QString namespaceUri;
    QString qualifiedName;
    QString localName;
    /// A text's characters.
    QString value;
    QList<XmlElement::Attribute> attributes;
};

namespace {

using Data = XmlNode::Data;

QString localPart(const QString& qualifiedName)
{
    const qsizetype colon = qualifiedName.indexOf(QLatin1Char(':'));
    return colon < 0 ? qualifiedName : qualifiedName.mid(colon + 1);
}

QString prefixPart(const QString& qualifiedName)
{
    const qsizetype colon = qualifiedName.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : qualifiedName.left(colon);
}

/// Frees a node that nothing holds any more, and those of its descendants
/// that nothing else holds, without recursion (a long list is one level
/// with many children, a deep tree is bounded by the framer but need not be).
void destroy(Data* root)
{
    std::vector<Data*> dying {root};
    while (!dying.empty()) {
        Data* d = dying.back();
        dying.pop_back();
        for (Data* c = d->first; c;) {
            Data* next = c->next;
            c->parent = c->prev = c->next = nullptr;
            if (--c->ref == 0)
                dying.push_back(c);
            c = next;
        }
        delete d;
    }
}

void unlink(Data* child)
{
    Data* parent = child->parent;
    if (child->prev)
        child->prev->next = child->next;
    else
        parent->first = child->next;
    if (child->next)
        child->next->prev = child->prev;
    else
        parent->last = child->prev;
    child->parent = child->prev = child->next = nullptr;
}

bool matches(const Data* d, const QString& tagName, const QString& namespaceUri)
{
    return d->element && (tagName.isEmpty() || d->qualifiedName == tagName)
           && (namespaceUri.isEmpty() || d->namespaceUri == namespaceUri);
}

const XmlElement::Attribute* findByName(const Data* d, const QString& qualifiedName)
{
    if (!d)
        return nullptr;
    for (const XmlElement::Attribute& a : d->attributes) {
        if (a.qualifiedName == qualifiedName)
            return &a;
    }
    return nullptr;
}

const XmlElement::Attribute* findByNamespace(const Data* d, const QString& namespaceUri, const QString& localName)
{
    if (!d)
        return nullptr;
    for (const XmlElement::Attribute& a : d->attributes) {
        if (a.localName == localName && a.namespaceUri == namespaceUri)
            return &a;
    }
    return nullptr;
}

void link(Data* parent, Data* child)
{
    child->parent = parent;
    child->prev = parent->last;
    if (parent->last)
        parent->last->next = child;
    else
        parent->first = child;
    parent->last = child;
}

/// The node after `d` in document order below `root` (down to the first
/// child, else on to the next sibling of the nearest node that has one),
/// or null past the last; no recursion.
const Data* following(const Data* d, const Data* root)
{
    if (d->first)
        return d->first;
    while (d != root && !d->next)
        d = d->parent;
    return d == root ? nullptr : d->next;
}

} // namespace

XmlNode::XmlNode(Data* d) : m_d(d)
{
    if (m_d)
        ++m_d->ref;
}

XmlNode::XmlNode(const XmlNode& other) : XmlNode(other.m_d) {}

XmlNode::XmlNode(XmlNode&& other) noexcept : m_d(std::exchange(other.m_d, nullptr)) {}

XmlNode& XmlNode::operator=(const XmlNode& other)
{
    if (other.m_d)
        ++other.m_d->ref;
    Data* old = std::exchange(m_d, other.m_d);
    if (old && --old->ref == 0)
        destroy(old);
    return *this;
}

XmlNode& XmlNode::operator=(XmlNode&& other) noexcept
{
    if (this != &other) {
        Data* old = std::exchange(m_d, std::exchange(other.m_d, nullptr));
        if (old && --old->ref == 0)
            destroy(old);
    }
    return *this;
}

XmlNode::~XmlNode()
{
    if (m_d && --m_d->ref == 0)
        destroy(m_d);
}

bool XmlNode::isElement() const { return m_d && m_d->element; }
bool XmlNode::isText() const { return m_d && !m_d->element; }

XmlElement XmlNode::toElement() const { return XmlElement(isElement() ? m_d : nullptr); }

XmlNode XmlNode::parentNode() const { return XmlNode(m_d ? m_d->parent : nullptr); }
XmlNode XmlNode::firstChild() const { return XmlNode(m_d ? m_d->first : nullptr); }
XmlNode XmlNode::nextSibling() const { return XmlNode(m_d ? m_d->next : nullptr); }
bool XmlNode::hasChildNodes() const { return m_d && m_d->first; }

XmlElement XmlNode::firstChildElement(const QString& tagName, const QString& namespaceUri) const
{
    for (Data* c = m_d ? m_d->first : nullptr; c; c = c->next) {
        if (matches(c, tagName, namespaceUri))
            return XmlElement(c);
    }
    return XmlElement();
}

XmlElement XmlNode::nextSiblingElement(const QString& tagName, const QString& namespaceUri) const
{
    for (Data* c = m_d ? m_d->next : nullptr; c; c = c->next) {
        if (matches(c, tagName, namespaceUri))
            return XmlElement(c);
    }
    return XmlElement();
}

QString XmlNode::localName() const { return isElement() ? m_d->localName : QString(); }
QString XmlNode::namespaceURI() const { return isElement() ? m_d->namespaceUri : QString(); }
QString XmlNode::nodeValue() const { return isText() ? m_d->value : QString(); }

XmlNode XmlNode::appendChild(const XmlNode& child)
{
    if (!isElement() || child.isNull())
        return XmlNode();
    for (const Data* up = m_d; up; up = up->parent) {
        if (up == child.m_d)
            return XmlNode();
    }
    Data* c = child.m_d;
    if (c->parent)
        unlink(c); // the new parent takes over the old one's count
    else
        ++c->ref;
    link(m_d, c);
    return child;
}

XmlNode XmlNode::removeChild(const XmlNode& child)
{
    if (!m_d || child.isNull() || child.m_d->parent != m_d)
        return XmlNode();
    XmlNode kept = child;
    unlink(child.m_d);
    --child.m_d->ref; // the parent's; `kept` still holds it
    return kept;
}

XmlNode XmlNode::createText(const QString& text)
{
    auto* d = new Data;
    d->value = text;
    return XmlNode(d);
}

QString XmlElement::Attribute::prefix() const { return prefixPart(qualifiedName); }

XmlElement XmlElement::create(const QString& namespaceUri, const QString& qualifiedName)
{
    auto* d = new Data;
    d->element = true;
    d->namespaceUri = namespaceUri;
    d->qualifiedName = qualifiedName;
    d->localName = localPart(qualifiedName);
    return XmlElement(d);
}

XmlElement XmlElement::shallowCopy() const
{
    if (!m_d)
        return XmlElement();
    auto* copy = new Data;
    copy->element = true;
    copy->namespaceUri = m_d->namespaceUri;
    copy->qualifiedName = m_d->qualifiedName;
    copy->localName = m_d->localName;
    copy->attributes = m_d->attributes;
    return XmlElement(copy);
}

QString XmlElement::tagName() const { return m_d ? m_d->qualifiedName : QString(); }

QString XmlElement::attribute(const QString& qualifiedName, const QString& defaultValue) const
{
    const Attribute* a = findByName(m_d, qualifiedName);
    return a ? a->value : defaultValue;
}

QString XmlElement::attributeNS(const QString& namespaceUri, const QString& localName, const QString& defaultValue) const
{
    const Attribute* a = findByNamespace(m_d, namespaceUri, localName);
    return a ? a->value : defaultValue;
}

bool XmlElement::hasAttribute(const QString& qualifiedName) const { return findByName(m_d, qualifiedName); }

bool XmlElement::hasAttributeNS(const QString& namespaceUri, const QString& localName) const
{
    return findByNamespace(m_d, namespaceUri, localName);
}

void XmlElement::setAttribute(const QString& qualifiedName, const QString& value)
{
    if (!m_d)
        return;
    if (auto* a = const_cast<Attribute*>(findByName(m_d, qualifiedName))) {
        a->value = value;
        return;
    }
    m_d->attributes.append({QString(), qualifiedName, qualifiedName, value});
}

void XmlElement::setAttributeNS(const QString& namespaceUri, const QString& qualifiedName, const QString& value)
{
    if (!m_d)
        return;
    const QString local = localPart(qualifiedName);
    if (auto* a = const_cast<Attribute*>(findByNamespace(m_d, namespaceUri, local))) {
        a->qualifiedName = qualifiedName;
        a->value = value;
        return;
    }
    m_d->attributes.append({namespaceUri, qualifiedName, local, value});
}

const QList<XmlElement::Attribute>& XmlElement::attributes() const
{
    static const QList<Attribute> none;
    return m_d ? m_d->attributes : none;
}

QString XmlElement::text() const
{
    if (!m_d)
        return QString();
    QString text(QLatin1String(""));
    for (const Data* d = m_d->first; d; d = following(d, m_d)) {
        if (!d->element)
            text += d->value;
    }
    return text;
}

QList<XmlElement> XmlElement::elementsByTagNameNS(const QString& namespaceUri, const QString& localName) const
{
    QList<XmlElement> found;
    if (!m_d)
        return found;
    const auto any = QLatin1String("*");
    for (const Data* d = m_d->first; d; d = following(d, m_d)) {
        if (d->element && (namespaceUri == any || d->namespaceUri == namespaceUri)
            && (localName == any || d->localName == localName))
            found.append(XmlElement(const_cast<Data*>(d)));
    }
    return found;
}

} // namespace xmpp
