#include "serial/DevicePath.h"

#include <cctype>

std::string formatDeviceName(const std::string& deviceName, int portNumber)
{
    std::string out;
    for (std::size_t i = 0; i < deviceName.size(); ++i) {
        if (deviceName[i] == '%' && i + 1 < deviceName.size()) {
            if (deviceName[i + 1] == 'd') {
                out += std::to_string(portNumber);
                ++i;
                continue;
            }
            if (deviceName[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += deviceName[i];
    }
    return out;
}

namespace {

// The number of a "COMn" name (any letter case), or -1.
int comNumber(const std::string& name)
{
    if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C'
        || std::toupper(static_cast<unsigned char>(name[1])) != 'O'
        || std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return -1;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 100000)
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

} // namespace

QString defaultDevicePath(const std::string& formattedName)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\") + QString::fromLocal8Bit(formattedName.c_str());
#else
    const int com = comNumber(formattedName);
    if (com >= 1)
        return QStringLiteral("/dev/ttyS%1").arg(com - 1);
    return QString::fromLocal8Bit(formattedName.c_str());
#endif
}
