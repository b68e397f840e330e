#include "CaCertificates.h"

#include <QDebug>
#include <QFile>

QList<QSslCertificate> loadCaCertificates()
{
    // Read through QFile so that the "resources:" search path applies.
    QList<QSslCertificate> certificates;
    QFile file(QString::fromLatin1(caCertificatesPath));
    if (file.open(QIODevice::ReadOnly))
        certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty())
        qWarning() << "no ca cert found in" << caCertificatesPath;
    return certificates;
}
