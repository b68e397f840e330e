#include "MachineId.h"

#include <QCryptographicHash>
#include <QNetworkInterface>

std::string machineIdFromAddresses(const QStringList& hardwareAddresses)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& address : hardwareAddresses)
        hash.addData(address.toLatin1());
    return hash.result().toBase64().toStdString();
}

std::string makeMachineId()
{
    QStringList addresses;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces)
        addresses << iface.hardwareAddress();
    return machineIdFromAddresses(addresses);
}

const std::string& machineId()
{
    static const std::string id = makeMachineId();
    return id;
}
