#pragma once

#include <QString>

/// A throw-away CA and a server certificate for 127.0.0.1 / localhost / ::1,
/// made with the openssl command line in a directory of the test's own.
/// Layout: <dir>/ca-certs/ca.crt (what the client looks up as
/// "resources:/ca-certs/ca.crt"), <dir>/ca.key, <dir>/server.crt, <dir>/server.key,
/// <dir>/server-weak.crt.
namespace TestCertificates {
/// Generates the files; returns false (with the reason in *error) when openssl fails.
bool generate(const QString& dir, QString* error = nullptr);
/// Puts dir in front of the "resources" search path so that
/// "resources:/ca-certs/ca.crt" finds the test CA.
void prependResourceSearchPath(const QString& dir);
QString caCertificatePath(const QString& dir);
QString serverCertificatePath(const QString& dir);
/// A self-signed certificate with a 1024-bit RSA key, signed with SHA-1.
QString weakKeyServerCertificatePath(const QString& dir);
QString serverKeyPath(const QString& dir);
}
