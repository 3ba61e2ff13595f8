// Which serial port the program uses: the Com1..Com4 items of old, the
// devices the system reports, and the devices named in the settings; how a
// choice is stored and found again at start; and what to tell the user when
// a device cannot be opened.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class QSettings;

// Stored names of the program's settings tree. The port box's text keeps its
// old name, so older builds go on reading their Com<n> choice; a device goes
// in a key of its own, which older builds never read.
namespace portsettings {
inline constexpr const char* kPortText = "TFMain/cboxCOM_Text";
inline constexpr const char* kDevice = "Ports/Device";
// "Ports/COMn": the device opened for Com<n> (default /dev/ttyS(n-1)).
QString comDeviceKey(int comNumber);
}

inline constexpr int kComItems = 4;
// The serial port's number while a device from the port box (not one of
// Com1..Com4) is chosen; the device resolver then gives the device's path.
inline constexpr int kChosenDevicePort = 0;

struct PortChoice {
    int comNumber = 0;  // 1..4 for a Com<n> item, else 0
    QString device;     // the device path when comNumber is 0
    bool isCom() const { return comNumber > 0; }
    bool operator==(const PortChoice&) const = default;
};

struct PortItem {
    QString text;  // as the port box shows it
    PortChoice choice;
};

// "Com1".."Com4" exactly as the box shows them; anything else is no item.
int comItemNumber(const QString& text);

// "FT232R USB UART — /dev/ttyUSB0", or the bare path without a description.
QString portItemText(const QString& description, const QString& path);

// A port as the system reports it.
struct SystemPort {
    QString description;
    QString path;
};
// Where the system's ports come from; the default asks Qt SerialPort, which
// walks thousands of files under /sys on Linux. Returns the previous source.
using SystemPortSource = std::function<QList<SystemPort>()>;
SystemPortSource setSystemPortSource(SystemPortSource source);

// Com1..Com4, then the ports the system reports (read afresh on every call),
// then every device the settings name (Ports/COMn, the stored device) that
// the system does not report, such as a pseudo-terminal.
QList<PortItem> listPorts(const QSettings& settings);
// The same without asking the system: Com1..Com4 and the devices the settings
// name, the stored device under the text the port box stored for it.
QList<PortItem> knownPorts(const QSettings& settings);

// The item with exactly this text, or nothing.
const PortItem* findPortItem(const QList<PortItem>& items, const QString& text);

// The choice the program starts with: the stored Com<n> text, else the
// stored device, else Com1.
PortChoice storedPortChoice(const QSettings& settings);
// Stores the device of a device choice and forgets it for a Com<n> one (the
// port text itself is stored with the window's other values).
void rememberPortChoice(QSettings& settings, const PortChoice& choice);

// The device path a choice opens: for Com<n> the Ports/COMn setting or the
// system's default.
QString choiceDevicePath(const QSettings& settings, const PortChoice& choice);

// Why the device cannot be opened, in a sentence that names it: missing,
// no permission (with the dialout hint), or in use. Empty when it can be
// opened now.
QString describeOpenFailure(const QString& device);
