#include "serial/PortChoice.h"

#include "serial/DevicePath.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSettings>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

QString portsettings::comDeviceKey(int comNumber)
{
    return QStringLiteral("Ports/COM%1").arg(comNumber);
}

int comItemNumber(const QString& text)
{
    for (int n = 1; n <= kComItems; ++n) {
        if (text == QStringLiteral("Com%1").arg(n))
            return n;
    }
    return 0;
}

namespace {
const QString kDescribedPath = QStringLiteral(" \u2014 %1");
}

QString portItemText(const QString& description, const QString& path)
{
    const QString about = description.trimmed();
    return about.isEmpty() ? path : about + kDescribedPath.arg(path);
}

namespace {

QList<SystemPort> askSystemForPorts()
{
    QList<SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append({info.description(), info.systemLocation()});
    return ports;
}

SystemPortSource& portSource()
{
    static SystemPortSource source = askSystemForPorts;
    return source;
}

QList<PortItem> comItems()
{
    QList<PortItem> items;
    for (int n = 1; n <= kComItems; ++n)
        items.append({QStringLiteral("Com%1").arg(n), {n, {}}});
    return items;
}

// Ports/COM1..4 and the stored device, in that order, each once.
QStringList namedDevices(const QSettings& settings)
{
    QStringList named;
    for (int n = 1; n <= kComItems; ++n)
        named << settings.value(portsettings::comDeviceKey(n)).toString();
    named << settings.value(portsettings::kDevice).toString();
    named.removeAll(QString());
    named.removeDuplicates();
    return named;
}

} // namespace

SystemPortSource setSystemPortSource(SystemPortSource source)
{
    SystemPortSource previous = std::move(portSource());
    portSource() = source ? std::move(source) : SystemPortSource(askSystemForPorts);
    return previous;
}

QList<PortItem> listPorts(const QSettings& settings)
{
    QList<PortItem> items = comItems();
    QStringList listed;
    for (const SystemPort& port : portSource()()) {
        listed << port.path;
        items.append({portItemText(port.description, port.path), {0, port.path}});
    }
    for (const QString& device : namedDevices(settings)) {
        if (!listed.contains(device))
            items.append({device, {0, device}});
    }
    return items;
}

QList<PortItem> knownPorts(const QSettings& settings)
{
    QList<PortItem> items = comItems();
    const QString device = settings.value(portsettings::kDevice).toString();
    const QString storedText = settings.value(portsettings::kPortText).toString();
    for (const QString& named : namedDevices(settings)) {
        const bool described = named == device && storedText.endsWith(kDescribedPath.arg(named));
        items.append({described ? storedText : named, {0, named}});
    }
    return items;
}

const PortItem* findPortItem(const QList<PortItem>& items, const QString& text)
{
    for (const PortItem& item : items) {
        if (item.text == text)
            return &item;
    }
    return nullptr;
}

PortChoice storedPortChoice(const QSettings& settings)
{
    if (const int n = comItemNumber(settings.value(portsettings::kPortText).toString()))
        return {n, {}};
    const QString device = settings.value(portsettings::kDevice).toString();
    if (!device.isEmpty())
        return {0, device};
    return {1, {}};
}

void rememberPortChoice(QSettings& settings, const PortChoice& choice)
{
    if (choice.isCom())
        settings.remove(portsettings::kDevice);
    else
        settings.setValue(portsettings::kDevice, choice.device);
}

QString choiceDevicePath(const QSettings& settings, const PortChoice& choice)
{
    if (!choice.isCom())
        return choice.device;
    const QString named = settings.value(portsettings::comDeviceKey(choice.comNumber)).toString();
    return named.isEmpty() ? defaultDevicePath(choice.comNumber) : named;
}

QString describeOpenFailure(const QString& device)
{
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(device))
        return QCoreApplication::translate("PortChoice", "The serial port %1 does not exist (is the cable plugged in?)").arg(device);
    // As the running user really is (effective ids), which is what open() checks.
    if (::faccessat(AT_FDCWD, QFile::encodeName(device).constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return QCoreApplication::translate("PortChoice", "No permission to open %1: add yourself to the dialout group "
                                                  "(sudo usermod -aG dialout $USER) and log in again")
            .arg(device);
#endif
    QSerialPort probe;
    probe.setPortName(device);
    if (probe.open(QIODevice::ReadWrite)) {
        probe.close();
        return {};
    }
    if (probe.error() == QSerialPort::DeviceNotFoundError)
        return QCoreApplication::translate("PortChoice", "The serial port %1 does not exist (is the cable plugged in?)").arg(device);
    if (probe.error() == QSerialPort::PermissionError)
        return QCoreApplication::translate("PortChoice", "The serial port %1 is in use by another program").arg(device);
    return QCoreApplication::translate("PortChoice", "Cannot open the serial port %1: %2").arg(device, probe.errorString());
}
