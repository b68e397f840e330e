#include "XMPPDataForm.h"

#include "XmppNames.h"

XMPPDataForm::Field::Field(int type, const QString& var, const QString& label, const QList<Option>& options)
    : type(type), var(var), label(label), value(emptyValue(type)), options(options)
{
}

XMPPDataForm::Value XMPPDataForm::Field::emptyValue(int type)
{
    switch (type) {
    case Boolean:
        return false;
    case JidSingle:
        return XMPPJid();
    case JidMulti:
        return QList<XMPPJid>();
    case ListMulti:
    case TextMulti:
        return QStringList();
    default:
        return QString();
    }
}

QString XMPPDataForm::Field::text() const
{
    if (const auto* s = std::get_if<QString>(&value))
        return *s;
    if (const auto* j = std::get_if<XMPPJid>(&value))
        return j->toString();
    return QString();
}

QStringList XMPPDataForm::Field::texts() const
{
    if (const auto* l = std::get_if<QStringList>(&value))
        return *l;
    return QStringList();
}

XMPPDataForm::XMPPDataForm(int kind) : m_kind(kind) {}

XMPPDataForm::XMPPDataForm(const XMPPDataForm& other)
    : title(other.title), instructions(other.instructions), m_kind(other.m_kind), m_vars(other.m_vars),
      m_index(other.m_index)
{
    m_fields.reserve(other.m_fields.size());
    for (const auto& f : other.m_fields)
        m_fields.push_back(std::make_unique<Field>(*f));
}

XMPPDataForm& XMPPDataForm::operator=(const XMPPDataForm& other)
{
    if (this != &other) {
        XMPPDataForm copy(other);
        *this = std::move(copy);
    }
    return *this;
}

XMPPDataForm::~XMPPDataForm() = default;

void XMPPDataForm::addField(std::unique_ptr<Field> field)
{
    m_vars.append(field->var);
    m_index.insert(field->var, int(m_fields.size()));
    m_fields.push_back(std::move(field));
}

const XMPPDataForm::Field* XMPPDataForm::field(const QString& var) const
{
    const auto it = m_index.constFind(var);
    return it == m_index.constEnd() ? nullptr : m_fields.at(size_t(*it)).get();
}

XMPPDataForm::Field* XMPPDataForm::field(const QString& var)
{
    const auto it = m_index.constFind(var);
    return it == m_index.constEnd() ? nullptr : m_fields.at(size_t(*it)).get();
}

QString XMPPDataForm::fieldTypeName(int type) { return xmpp::names::fieldType(type); }

void XMPPDataReport::addColumn(const QString& var, const QString& label)
{
    columns.append(var);
    if (!label.isEmpty())
        labels.insert(var, label);
}
