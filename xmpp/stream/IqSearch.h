#pragma once

#include "Iq.h"

#include <memory>

class QXmlStreamWriter;
class XMPPDataForm;
struct XMPPDataReport;

namespace xmpp {

class XmlElement;

/// The jabber:iq:search iq: asking a service for its search form,
/// submitting a filled form (legacy fields or data form), or a received
/// form or result table.
class IqSearch : public Iq
{
public:
    /// A "get" asking `to` for its search form.
    IqSearch(const QString& id, const XMPPJid& to);
    /// A "set" submitting the form.
    IqSearch(const QString& id, const XMPPJid& to, std::unique_ptr<XMPPDataForm> form);
    /// Reads a received "query" element; throws stanza_error (iq, cancel,
    /// unexpected-request) for an answer it cannot use.
    explicit IqSearch(const XmlElement& query);
    ~IqSearch() override;
    int type() const override { return KindIqSearch; }

    /// The form to submit or the form read; may be null.
    const XMPPDataForm* form() const { return m_form.get(); }
    void setForm(std::unique_ptr<XMPPDataForm> form);
    /// The result table read; may be null.
    const XMPPDataReport* report() const { return m_report.get(); }
    void setReport(std::unique_ptr<XMPPDataReport> report);

    /// Writes the payload inside the iq frame.
    void writePayload(QXmlStreamWriter& writer) const;

    /// The legacy search fields in their order: "first", "last", "nick", "email".
    static const QStringList& legacyFields();
    /// The label of a legacy field ("Given name" ...), empty for another var.
    static QString legacyLabel(const QString& var);

private:
    void readDataForm(const XmlElement& x);
    void readReport(const XmlElement& x);
    void readLegacyItems(const XmlElement& query);
    void readLegacyForm(const XmlElement& query);

    std::unique_ptr<XMPPDataForm> m_form;
    std::unique_ptr<XMPPDataReport> m_report;
};

} // namespace xmpp
