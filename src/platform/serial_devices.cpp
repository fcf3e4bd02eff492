#include "platform/serial_devices.h"

#include "link/port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace vdl {

std::vector<std::string> SerialDevices() {
    std::vector<std::string> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef _WIN32
        out.push_back(info.portName().toStdString());
#else
        out.push_back(info.systemLocation().toStdString());
#endif
    }
#ifndef _WIN32
    // The names that stay with an adapter whichever ttyUSB number it gets.
    QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& f :
         byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        out.push_back(f.absoluteFilePath().toStdString());
#endif
    return out;
}

std::vector<int> EnumeratePorts(PortNames& names) {
    std::vector<int> out;
    for (const std::string& d : SerialDevices())
        if (int n = names.Bind(d)) out.push_back(n);
    for (const auto& [n, device] : names.Bound())
        if (QFileInfo::exists(QString::fromStdString(device))) out.push_back(n);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace vdl
