#include "jobs/LinkFailureText.h"

#include <QCoreApplication>

#include "serial/PortChoice.h"

QString linkFailureText(const LinkFailure& failure)
{
    if (failure.kind == LinkFailure::Kind::NoAnswer)
        return QCoreApplication::translate("Link", "No answer from phone!  Please, check cable connection!");
    if (failure.portNumber != 0)
        return QCoreApplication::translate("Link", "Invalid port number Com%1").arg(failure.portNumber);
    const QString device = QString::fromStdString(failure.devicePath);
    QString text = describeOpenFailure(device);
    // It opens now: it was busy a moment ago, or went away and came back.
    if (text.isEmpty())
        text = QCoreApplication::translate("SerialLinkPort", "Cannot open the serial port %1").arg(device);
    return text;
}
