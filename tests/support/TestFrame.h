#pragma once

// The test server's own frame encoder and decoder. Written apart from the
// client's codec (on QDataStream) so that the two cannot share a mistake.

#include <QByteArray>
#include <QtGlobal>

/// Builds one frame: length word, class id, fields, all big-endian.
class TestFrame
{
public:
    explicit TestFrame(quint8 classId);

    TestFrame& u8(quint8 v);
    TestFrame& u16(quint16 v);
    TestFrame& u32(quint32 v);
    TestFrame& i32(qint32 v) { return u32(quint32(v)); }
    TestFrame& u64(quint64 v);
    /// u16 byte count, then the bytes.
    TestFrame& str(const QByteArray& bytes);
    /// u32 byte count, then the bytes.
    TestFrame& bytes(const QByteArray& bytes);
    /// A complete inner frame (with its own length word) as a byte vector.
    TestFrame& nested(const TestFrame& inner) { return bytes(inner.toBytes()); }
    /// Appends bytes as they are, no count.
    TestFrame& raw(const QByteArray& bytes);

    quint8 classId() const { return m_classId; }
    /// Class id and fields, without the length word.
    QByteArray body() const;
    /// The whole frame as it goes on the wire.
    QByteArray toBytes() const;

private:
    quint8 m_classId;
    QByteArray m_fields;
};

/// Reads one frame body (class id first). A read past the end sets ok() to
/// false and returns zero values; it never throws.
class TestFrameReader
{
public:
    explicit TestFrameReader(const QByteArray& body);

    quint8 classId() const { return m_classId; }
    quint8 u8();
    quint16 u16();
    quint32 u32();
    qint32 i32() { return qint32(u32()); }
    quint64 u64();
    QByteArray str();
    QByteArray bytes();
    /// Reads a byte vector holding a frame and returns a reader over its body.
    TestFrameReader nested();

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos >= m_body.size(); }
    int remaining() const { return int(m_body.size() - m_pos); }

private:
    bool take(qsizetype n, QByteArray* out);

    QByteArray m_body;
    qsizetype m_pos = 1;
    quint8 m_classId = 0;
    bool m_ok = true;
};
