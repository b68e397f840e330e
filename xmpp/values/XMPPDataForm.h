#pragma once

#include "XMPPJid.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QStringList>

#include <memory>
#include <variant>
#include <vector>

/// A data form (or the legacy search fields): title, instructions and typed
/// fields in order, with a lookup by var. Copies are deep.
class XMPPDataForm
{
public:
    enum Kind { LegacySearch = 0, DataForm = 1 };
    enum FieldType {
        Boolean = 0,
        Fixed,
        Hidden,
        JidSingle,
        JidMulti,
        ListSingle,
        ListMulti,
        TextSingle,
        TextMulti,
        TextPrivate
    };

    struct Option
    {
        QString label;
        QString value;
    };

    /// The member of the value that the field type selects.
    using Value = std::variant<bool, QString, QStringList, XMPPJid, QList<XMPPJid>>;

    struct Field
    {
        /// A field holding the empty value of its type, not required.
        Field(int type, const QString& var, const QString& label, const QList<Option>& options = {});

        int type;
        QString var;
        QString label;
        QString description;
        bool required = false;
        Value value;
        QList<Option> options;

        /// The value as text for the types that hold one (else empty).
        QString text() const;
        /// The value as a list of texts for list-multi and text-multi (else empty).
        QStringList texts() const;
        /// The empty value of a field type.
        static Value emptyValue(int type);
    };

    explicit XMPPDataForm(int kind = DataForm);
    XMPPDataForm(const XMPPDataForm& other);
    XMPPDataForm& operator=(const XMPPDataForm& other);
    XMPPDataForm(XMPPDataForm&&) noexcept = default;
    XMPPDataForm& operator=(XMPPDataForm&&) noexcept = default;
    ~XMPPDataForm();

    int kind() const { return m_kind; }
    QString title;
    QString instructions;

    /// Appends the field and indexes its var; a later field with the same var
    /// takes over the index entry.
    void addField(std::unique_ptr<Field> field);
    /// The vars in field order.
    const QStringList& vars() const { return m_vars; }
    int fieldCount() const { return int(m_fields.size()); }
    const Field& fieldAt(int i) const { return *m_fields.at(size_t(i)); }
    Field& fieldAt(int i) { return *m_fields.at(size_t(i)); }
    /// The field indexed under a var, or null.
    const Field* field(const QString& var) const;
    Field* field(const QString& var);
    /// The type name of a field type ("boolean" .. "text-private").
    static QString fieldTypeName(int type);

private:
    int m_kind;
    QStringList m_vars;
    std::vector<std::unique_ptr<Field>> m_fields;
    QMap<QString, int> m_index;
};

/// A search result table: columns by var in order of addition, labels of the
/// columns added with one, and rows of var to text.
struct XMPPDataReport
{
    QStringList columns;
    QMap<QString, QString> labels;
    QList<QMap<QString, QString>> rows;

    /// Appends the column; stores the label only when it is not empty.
    void addColumn(const QString& var, const QString& label = QString());
};

Q_DECLARE_METATYPE(XMPPDataForm)
Q_DECLARE_METATYPE(XMPPDataReport)
