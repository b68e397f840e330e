#include "TestFrame.h"

#include <QDataStream>
#include <QIODevice>

namespace {
template<typename... T>
void append(QByteArray* target, T... values)
{
    QDataStream s(target, QIODevice::Append);
    s.setByteOrder(QDataStream::BigEndian);
    (s << ... << values);
}
}

TestFrame::TestFrame(quint8 classId)
    : m_classId(classId)
{
}

TestFrame& TestFrame::u8(quint8 v)
{
    append(&m_fields, v);
    return *this;
}

TestFrame& TestFrame::u16(quint16 v)
{
    append(&m_fields, v);
    return *this;
}

TestFrame& TestFrame::u32(quint32 v)
{
    append(&m_fields, v);
    return *this;
}

TestFrame& TestFrame::u64(quint64 v)
{
    append(&m_fields, v);
    return *this;
}

TestFrame& TestFrame::str(const QByteArray& bytes)
{
    Q_ASSERT(bytes.size() <= 0xFFFF);
    u16(quint16(bytes.size()));
    m_fields.append(bytes);
    return *this;
}

TestFrame& TestFrame::bytes(const QByteArray& bytes)
{
    u32(quint32(bytes.size()));
    m_fields.append(bytes);
    return *this;
}

TestFrame& TestFrame::raw(const QByteArray& bytes)
{
    m_fields.append(bytes);
    return *this;
}

QByteArray TestFrame::body() const
{
    QByteArray b;
    b.append(char(m_classId));
    b.append(m_fields);
    return b;
}

QByteArray TestFrame::toBytes() const
{
    QByteArray frame;
    append(&frame, quint32(4 + 1 + m_fields.size()), m_classId);
    frame.append(m_fields);
    return frame;
}

TestFrameReader::TestFrameReader(const QByteArray& body)
    : m_body(body)
{
    if (m_body.isEmpty())
        m_ok = false;
    else
        m_classId = quint8(m_body.at(0));
}

bool TestFrameReader::take(qsizetype n, QByteArray* out)
{
    if (!m_ok || n < 0 || n > m_body.size() - m_pos) {
        m_ok = false;
        return false;
    }
    *out = m_body.mid(m_pos, n);
    m_pos += n;
    return true;
}

quint8 TestFrameReader::u8()
{
    QByteArray b;
    if (!take(1, &b))
        return 0;
    return quint8(b.at(0));
}

quint16 TestFrameReader::u16()
{
    QByteArray b;
    if (!take(2, &b))
        return 0;
    QDataStream s(b);
    quint16 v = 0;
    s >> v;
    return v;
}

quint32 TestFrameReader::u32()
{
    QByteArray b;
    if (!take(4, &b))
        return 0;
    QDataStream s(b);
    quint32 v = 0;
    s >> v;
    return v;
}

quint64 TestFrameReader::u64()
{
    QByteArray b;
    if (!take(8, &b))
        return 0;
    QDataStream s(b);
    quint64 v = 0;
    s >> v;
    return v;
}

QByteArray TestFrameReader::str()
{
    const quint16 n = u16();
    QByteArray b;
    take(n, &b);
    return b;
}

QByteArray TestFrameReader::bytes()
{
    const quint32 n = u32();
    QByteArray b;
    take(qsizetype(n), &b);
    return b;
}

TestFrameReader TestFrameReader::nested()
{
    const QByteArray frame = bytes();
    if (!m_ok || frame.size() < 5) {
        m_ok = false;
        return TestFrameReader(QByteArray());
    }
    return TestFrameReader(frame.mid(4));
}
