// From a port number to the device that is opened for it.
#pragma once

#include <QString>

#include <functional>

// Maps a port number to a device path; an empty result means "use the default".
using DeviceResolver = std::function<QString(int portNumber)>;

// The device COMn opens unless the settings name another. Windows: the name
// in the device namespace ("\\.\COM12" works past COM9). POSIX: /dev/ttyS(n-1);
// below 1 there is no such device and the bare name "COMn" is what is tried.
QString defaultDevicePath(int portNumber);
