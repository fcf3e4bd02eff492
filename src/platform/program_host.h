// A Program with the system's services around it: clocks, event loop services, the per-user
// store and folders, the instance lock, the two serial ports and the 54 ms timer. Both the
// desktop program and the command-line monitor run one.
#pragma once

#include "app/program.h"
#include "platform/qt_clock.h"
#include "platform/qt_folders.h"
#include "platform/qt_instance_lock.h"
#include "platform/qt_link_platform.h"
#include "platform/qt_settings_store.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace vdl {

class ProgramHost : public QObject {
    Q_OBJECT
public:
    // progDir: the program's directory (texts); msg: how messages reach the user.
    ProgramHost(const std::string& progDir, Messages& msg, QObject* parent = nullptr);
    ~ProgramHost() override;

    // The start-up order up to the window (see Program::StartUp).
    Program::StartResult StartUp();
    // The window's start without widgets, then the 54 ms timer starts.
    void Run(const std::vector<std::string>& args);
    // Ends the run: stops the timer and shuts the program down (settings, log, ports).
    void Shutdown();

    Program& prog() { return prog_; }
    SerialPort* port(int i) { return port_[i].get(); }
    // The serial ports that exist now (see EnumeratePorts).
    std::vector<int> EnumeratePorts();
    // Binds a device path to a channel's port number (the channel keeps its other settings).
    void BindDevice(int channel, const std::string& path);

    // The demonstration line: a virtual line of two pseudo-terminals made here, channel 1 bound
    // to one end and channel 2 to the other (bindings that are not kept). False, with the
    // reason in error, when the system gives no pseudo-terminals.
    bool MakeDemoLine(std::string& error);
    // The desktop's demonstration: the demonstration settings (EnterDemo) on a line of its own,
    // online now, or at the delayed opening of the ports when the start has not reached it.
    // False after the message that says why.
    bool StartDemo();

private:
    QtClock clock_;
    QtLinkPlatform link_;
    QtInstanceLock lock_;
    QtSettingsStore store_;
    QtFolders folders_;
    ProgramServices services_;
    Program prog_;
    std::unique_ptr<SerialPort> port_[2];
    std::unique_ptr<QObject> demoLine_; // the virtual line of the demonstration
    QTimer timer_;
    bool shutDown_ = false;
};

} // namespace vdl
