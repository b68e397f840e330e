// The user search payload, legacy fields and data forms alike.
#include "IqSearch.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "XMPPDataForm.h"
#include "XmlText.h"
#include "XmppNames.h"

#include "XmlTree.h"
#include <QXmlStreamWriter>

namespace xmpp {

namespace {

const QString SearchNs = QStringLiteral("jabber:iq:search");
const QString DataNs = QStringLiteral("jabber:x:data");

QString iqIdOf(const XmlElement& query) { return query.parentNode().toElement().attribute(QStringLiteral("id")); }

[[noreturn]] void refuse(const XmlElement& query)
{
    throw stanza_error(stanza_error::Iq, 1 /* cancel */, names::stanzaErrorConditionFromName(QStringLiteral("unexpected-request")),
                       iqIdOf(query));
}

void writeValue(QXmlStreamWriter& writer, const QString& text) { writeTextElement(writer, QStringLiteral("value"), text); }

/// XEP-0004 booleans are "1"/"true" or "0"/"false".
bool readBoolean(const QString& text)
{
    const QString t = text.trimmed();
    return t == QLatin1String("1") || t == QLatin1String("true");
}

} // namespace

IqSearch::IqSearch(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}

IqSearch::IqSearch(const QString& id, const XMPPJid& to, std::unique_ptr<XMPPDataForm> form)
    : Iq(id, to, Set), m_form(std::move(form))
{
}

IqSearch::~IqSearch() = default;

void IqSearch::setForm(std::unique_ptr<XMPPDataForm> form) { m_form = std::move(form); }
void IqSearch::setReport(std::unique_ptr<XMPPDataReport> report) { m_report = std::move(report); }

const QStringList& IqSearch::legacyFields()
{
    static const QStringList fields{QStringLiteral("first"), QStringLiteral("last"), QStringLiteral("nick"),
                                    QStringLiteral("email")};
    return fields;
}

QString IqSearch::legacyLabel(const QString& var)
{
    if (var == QLatin1String("first"))
        return QStringLiteral("Given name");
    if (var == QLatin1String("last"))
        return QStringLiteral("Family name");
    if (var == QLatin1String("nick"))
        return QStringLiteral("Nickname");
    if (var == QLatin1String("email"))
        return QStringLiteral("Email address");
    return QString();
}

IqSearch::IqSearch(const XmlElement& query)
{
    const XmlElement x = firstChildElementNS(query, QStringLiteral("x"), DataNs);
    if (!x.isNull()) {
        m_form = std::make_unique<XMPPDataForm>(XMPPDataForm::DataForm);
        const QString xType = x.attribute(QStringLiteral("type"));
        if (xType == QLatin1String("form")) {
            readDataForm(x);
        } else if (xType == QLatin1String("result")) {
            readDataForm(x);
            readReport(x);
        } else {
            refuse(query);
        }
        return;
    }
    m_form = std::make_unique<XMPPDataForm>(XMPPDataForm::LegacySearch);
    if (!firstChildElementNS(query, QStringLiteral("item"), SearchNs).isNull())
        readLegacyItems(query);
    else
        readLegacyForm(query);
}

void IqSearch::readDataForm(const XmlElement& x)
{
    const XmlElement title = x.firstChildElement(QStringLiteral("title"));
    if (!title.isNull())
        m_form->title = boundedText(title.text(), text::MaxTextLength);
    const XmlElement instructions = x.firstChildElement(QStringLiteral("instructions"));
    if (!instructions.isNull())
        m_form->instructions = boundedText(instructions.text(), text::MaxTextLength);

    for (XmlElement f = firstChildElementNS(x, QStringLiteral("field"), DataNs); !f.isNull();
         f = nextSiblingElementNS(f, QStringLiteral("field"), DataNs)) {
        // XEP-0004: a field without a type is text-single.
        int type = XMPPDataForm::TextSingle;
        if (f.hasAttribute(QStringLiteral("type"))) {
            type = names::fieldTypeFromName(f.attribute(QStringLiteral("type")));
            if (type < 0)
                type = XMPPDataForm::TextMulti;
        }
        QList<XMPPDataForm::Option> options;
        if (type == XMPPDataForm::ListSingle || type == XMPPDataForm::ListMulti) {
            for (XmlElement o = f.firstChildElement(QStringLiteral("option")); !o.isNull();
                 o = o.nextSiblingElement(QStringLiteral("option"))) {
                const XmlElement value = o.firstChildElement(QStringLiteral("value"));
                if (value.isNull())
                    refuse(x.parentNode().toElement());
                // The label is optional: without one the value stands for itself.
                options.append({o.attribute(QStringLiteral("label")), value.text()});
            }
        }
        auto field = std::make_unique<XMPPDataForm::Field>(
            type, f.attribute(QStringLiteral("var")),
            boundedText(f.attribute(QStringLiteral("label")), text::MaxNameLength), options);
        QStringList values;
        for (XmlElement v = f.firstChildElement(QStringLiteral("value")); !v.isNull();
             v = v.nextSiblingElement(QStringLiteral("value")))
            values.append(v.text());
        if (!values.isEmpty()) {
            switch (type) {
            case XMPPDataForm::Boolean:
                field->value = readBoolean(values.first());
                break;
            case XMPPDataForm::JidSingle:
                field->value = parseJid(values.first());
                break;
            case XMPPDataForm::JidMulti: {
                QList<XMPPJid> jids;
                for (const QString& v : values)
                    jids.append(parseJid(v));
                field->value = jids;
                break;
            }
            case XMPPDataForm::ListMulti:
            case XMPPDataForm::TextMulti:
                field->value = values;
                break;
            default:
                field->value = values.first();
                break;
            }
        }
        field->required = !f.firstChildElement(QStringLiteral("required")).isNull();
        const XmlElement desc = f.firstChildElement(QStringLiteral("desc"));
        if (!desc.isNull())
            field->description = boundedText(desc.text(), text::MaxTextLength);
        m_form->addField(std::move(field));
    }
}

void IqSearch::readReport(const XmlElement& x)
{
    m_report = std::make_unique<XMPPDataReport>();
    const XmlElement query = x.parentNode().toElement();
    const XmlElement reported = x.firstChildElement(QStringLiteral("reported"));
    for (XmlElement f = reported.firstChildElement(QStringLiteral("field")); !f.isNull();
         f = f.nextSiblingElement(QStringLiteral("field"))) {
        if (!f.hasAttribute(QStringLiteral("var")))
            refuse(query);
        m_report->addColumn(f.attribute(QStringLiteral("var")), f.attribute(QStringLiteral("label")));
    }
    for (XmlElement item = x.firstChildElement(QStringLiteral("item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("item"))) {
        QMap<QString, QString> row;
        for (XmlElement f = item.firstChildElement(QStringLiteral("field")); !f.isNull();
             f = f.nextSiblingElement(QStringLiteral("field"))) {
            if (!f.hasAttribute(QStringLiteral("var")))
                refuse(query);
            const QString var = f.attribute(QStringLiteral("var"));
            const XmlElement value = f.firstChildElement(QStringLiteral("value"));
            if (value.isNull())
                continue;
            // What users entered about themselves; the address stays whole
            // (its parts have their own length limit).
            row.insert(var, var == QLatin1String("jid") ? value.text() : boundedText(value.text(), text::MaxNameLength));
            if (!value.text().isEmpty() && !m_report->columns.contains(var))
                m_report->addColumn(var);
        }
        m_report->rows.append(row);
    }
}

void IqSearch::readLegacyItems(const XmlElement& query)
{
    m_report = std::make_unique<XMPPDataReport>();
    m_report->addColumn(QStringLiteral("jid"));
    for (XmlElement item = query.firstChildElement(QStringLiteral("item")); !item.isNull();
         item = item.nextSiblingElement(QStringLiteral("item"))) {
        if (!item.hasAttribute(QStringLiteral("jid")))
            refuse(query);
        QMap<QString, QString> row;
        row.insert(QStringLiteral("jid"), item.attribute(QStringLiteral("jid")));
        for (const QString& name : legacyFields()) {
            const XmlElement e = item.firstChildElement(name);
            if (e.isNull())
                continue;
            row.insert(name, boundedText(e.text(), text::MaxNameLength));
            if (!e.text().isEmpty() && !m_report->columns.contains(name))
                m_report->addColumn(name, legacyLabel(name));
        }
        m_report->rows.append(row);
    }
}

void IqSearch::readLegacyForm(const XmlElement& query)
{
    const XmlElement instructions = query.firstChildElement(QStringLiteral("instructions"));
    if (!instructions.isNull())
        m_form->instructions = boundedText(instructions.text(), text::MaxTextLength);
    for (const QString& name : legacyFields()) {
        if (!query.firstChildElement(name).isNull())
            m_form->addField(std::make_unique<XMPPDataForm::Field>(XMPPDataForm::TextSingle, name, legacyLabel(name)));
    }
}

void IqSearch::writePayload(QXmlStreamWriter& writer) const
{
    const bool get = stanzaType == QLatin1String("get");
    const bool set = stanzaType == QLatin1String("set") && m_form;
    if (!get && !set)
        return;
    writer.writeStartElement(QStringLiteral("query"));
    writer.writeDefaultNamespace(SearchNs);
    if (set && m_form->kind() == XMPPDataForm::LegacySearch) {
        for (const QString& name : legacyFields()) {
            const XMPPDataForm::Field* f = m_form->field(name);
            if (f && !f->text().isEmpty())
                writeTextElement(writer, name, f->text());
        }
    } else if (set) {
        writer.writeStartElement(QStringLiteral("x"));
        writer.writeDefaultNamespace(DataNs);
        writer.writeAttribute(QStringLiteral("type"), QStringLiteral("submit"));
        for (int i = 0; i < m_form->fieldCount(); ++i) {
            const XMPPDataForm::Field& f = m_form->fieldAt(i);
            QStringList values;
            switch (f.type) {
            case XMPPDataForm::Boolean:
                {
                const bool* b = std::get_if<bool>(&f.value);
                values << (b && *b ? QStringLiteral("1") : QStringLiteral("0"));
            }
                break;
            case XMPPDataForm::Fixed:
                continue;
            case XMPPDataForm::Hidden:
                values << f.text();
                break;
            case XMPPDataForm::JidMulti:
                if (const auto* jids = std::get_if<QList<XMPPJid>>(&f.value)) {
                    for (const XMPPJid& j : *jids)
                        values << j.toString();
                }
                break;
            case XMPPDataForm::ListMulti:
            case XMPPDataForm::TextMulti:
                values = f.texts();
                break;
            default:
                if (!f.text().isEmpty())
                    values << f.text();
                break;
            }
            if (values.isEmpty())
                continue;
            writer.writeStartElement(QStringLiteral("field"));
            writeAttribute(writer, QStringLiteral("var"), f.var);
            writer.writeAttribute(QStringLiteral("type"), names::fieldType(f.type));
            for (const QString& v : values)
                writeValue(writer, v);
            writer.writeEndElement();
        }
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

} // namespace xmpp
