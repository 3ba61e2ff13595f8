#include "serial/DevicePath.h"

QString defaultDevicePath(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(portNumber);
#else
    if (portNumber >= 1)
        return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
    return QStringLiteral("COM%1").arg(portNumber);
#endif
}
