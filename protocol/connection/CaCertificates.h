#pragma once

#include <QList>
#include <QSslCertificate>

/// Where the program's trusted CA certificates are found.
inline constexpr char caCertificatesPath[] = "resources:/ca-certs/ca.crt";

/// The PEM certificates of "resources:/ca-certs/ca.crt"; empty (with the
/// warning "no ca cert found in" and the path) when there are none. The
/// game-server connection makes them the only CAs its handshake trusts.
QList<QSslCertificate> loadCaCertificates();

/// Why a server certificate may be too weak to be trusted: its key is
/// shorter than current TLS libraries accept (RSA, DSA or DH under 2048
/// bits, elliptic curves under 224), or it is signed with SHA-1 or MD5.
/// Empty when neither holds. The TLS library refuses such a certificate
/// without a reason of its own.
QString certificateWeakness(const QSslCertificate& certificate);
