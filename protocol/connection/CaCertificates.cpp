#include "CaCertificates.h"

#include "ResourceFile.h"

#include <QDebug>
#include <QSslKey>
#include <QStringList>

namespace {

/// The content of the DER element that starts at pos, moving pos past it;
/// an empty view when the bytes do not hold a whole element.
QByteArrayView derElement(QByteArrayView der, qsizetype& pos)
{
    if (pos + 2 > der.size())
        return {};
    const quint8 first = quint8(der[pos + 1]);
    qsizetype at = pos + 2;
    qsizetype length = first;
    if (first & 0x80) {
        const int bytes = first & 0x7f;
        if (bytes == 0 || bytes > 4 || at + bytes > der.size())
            return {};
        length = 0;
        for (int i = 0; i < bytes; ++i)
            length = (length << 8) | quint8(der[at++]);
    }
    if (length > der.size() - at)
        return {};
    pos = at + length;
    return der.sliced(at, length);
}

/// The name of a weak digest in the certificate's own signature, or empty.
QString weakSignatureDigest(const QByteArray& der)
{
    // Certificate ::= SEQUENCE { tbsCertificate, signatureAlgorithm, signature }
    qsizetype pos = 0;
    const QByteArrayView certificate = derElement(der, pos);
    pos = 0;
    if (certificate.isEmpty() || derElement(certificate, pos).isEmpty())
        return {};
    const QByteArrayView algorithm = derElement(certificate, pos);
    pos = 0;
    const QByteArrayView oid = derElement(algorithm, pos);
    static const struct {
        QByteArray oid;
        const char* digest;
    } weak[] = {
        {QByteArray::fromHex("2a864886f70d010105"), "SHA-1"}, // sha1WithRSAEncryption
        {QByteArray::fromHex("2a864886f70d010104"), "MD5"}, // md5WithRSAEncryption
        {QByteArray::fromHex("2a8648ce3d0401"), "SHA-1"}, // ecdsa-with-SHA1
        {QByteArray::fromHex("2a8648ce380403"), "SHA-1"}, // dsa-with-sha1
    };
    for (const auto& w : weak) {
        if (oid == w.oid)
            return QString::fromLatin1(w.digest);
    }
    return {};
}

}

QList<QSslCertificate> loadCaCertificates()
{
    // A bundle of every public CA takes about a quarter of a megabyte.
    QList<QSslCertificate> certificates;
    if (const auto pem = ResourceFile::read(QString::fromLatin1(caCertificatesPath), 4 * 1024 * 1024))
        certificates = QSslCertificate::fromData(*pem, QSsl::Pem);
    if (certificates.isEmpty())
        qWarning() << "no ca cert found in" << caCertificatesPath;
    return certificates;
}

QString certificateWeakness(const QSslCertificate& certificate)
{
    static const struct {
        QSsl::KeyAlgorithm algorithm;
        const char* name;
        int minimumBits;
    } floors[] = {{QSsl::Rsa, "RSA", 2048}, {QSsl::Dsa, "DSA", 2048}, {QSsl::Dh, "DH", 2048},
                  {QSsl::Ec, "elliptic curve", 224}};
    QStringList reasons;
    const QSslKey key = certificate.publicKey();
    for (const auto& floor : floors) {
        if (!key.isNull() && key.algorithm() == floor.algorithm && key.length() < floor.minimumBits)
            reasons.append(QStringLiteral("%1 key of %2 bits is too short")
                               .arg(QLatin1String(floor.name))
                               .arg(key.length()));
    }
    const QString digest = weakSignatureDigest(certificate.toDer());
    if (!digest.isEmpty())
        reasons.append(QStringLiteral("signed with %1").arg(digest));
    return reasons.join(QStringLiteral(", "));
}
