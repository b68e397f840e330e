#pragma once

#include <QList>
#include <QSslCertificate>

/// Where the program's trusted CA certificates are found.
inline constexpr char caCertificatesPath[] = "resources:/ca-certs/ca.crt";

/// The PEM certificates of "resources:/ca-certs/ca.crt"; empty (with the
/// warning "no ca cert found in" and the path) when there are none. The
/// game-server connection makes them the only CAs its handshake trusts.
QList<QSslCertificate> loadCaCertificates();
