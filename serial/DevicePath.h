// From a port number to the device that is opened for it.
#pragma once

#include <QString>

#include <functional>
#include <string>

// Maps a port number to a device path; an empty result means "use the default".
using DeviceResolver = std::function<QString(int portNumber)>;

// DeviceName with its one integer placeholder filled in ("COM%d", 2 -> "COM2").
// Only %d and %% are understood: the pattern is user data, never a printf format.
std::string formatDeviceName(const std::string& deviceName, int portNumber);

// The path opened for a formatted name. Windows: the name in the device
// namespace ("\\.\COM12" works past COM9). POSIX: COMn is /dev/ttyS(n-1),
// anything else (a full path, say) is taken as it is.
QString defaultDevicePath(const std::string& formattedName);
