#include "platform/program_host.h"

#include "app/demo_line.h"
#include "core/format.h"
#include "platform/serial_devices.h"

#ifndef _WIN32
#include "platform/termios_port.h"
#include "platform/virtual_line.h"
#else
#include "platform/qt_serial_port.h"
#endif

#include <QFileInfo>
#include <QLocale>

namespace vdl {

namespace {
int LocaleLanguage() {
    return QLocale::system().language() == QLocale::German ? 0 : 1;
}
} // namespace

ProgramHost::ProgramHost(const std::string& progDir, Messages& msg, QObject* parent)
    : QObject(parent),
      link_([this](int ch) { prog_.RunNow(ch); }), services_{clock_,          link_,    lock_,
                                                             store_,          folders_, {},
                                                             LocaleLanguage()},
      prog_(progDir, msg) {
    services_.enumeratePorts = [this] { return EnumeratePorts(); };
    for (auto& p : port_) {
#ifndef _WIN32
        p = std::make_unique<TermiosPort>(prog_.ports);
#else
        p = std::make_unique<QtSerialPort>(prog_.ports);
#endif
    }
    timer_.setInterval(54);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { prog_.TimerStep(); });
}

ProgramHost::~ProgramHost() {
    Shutdown();
}

Program::StartResult ProgramHost::StartUp() {
    return prog_.StartUp(services_);
}

void ProgramHost::Run(const std::vector<std::string>& args) {
    prog_.FormCreate(args, port_[0].get(), port_[1].get());
    timer_.start();
}

std::vector<int> ProgramHost::EnumeratePorts() {
    return vdl::EnumeratePorts(prog_.ports);
}

void ProgramHost::BindDevice(int channel, const std::string& path) {
    std::string device = path;
    // A device given relative to the working folder (a link to a pseudo-terminal).
    if (!prog_.ports.IsDevice(device) && !PortNames::kComNames)
        device = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    prog_.com[channel].bp.cnr = prog_.ports.Bind(device);
}

bool ProgramHost::MakeDemoLine(std::string& error) {
#ifndef _WIN32
    auto line = std::make_unique<VirtualLine>();
    if (!line->Create()) {
        error = line->Error();
        return false;
    }
    prog_.com[0].bp.cnr = prog_.ports.Bind(line->EndA(), false);
    prog_.com[1].bp.cnr = prog_.ports.Bind(line->EndB(), false);
    demoLine_ = std::move(line);
    return true;
#else
    error = "no pseudo-terminals";
    return false;
#endif
}

bool ProgramHost::StartDemo() {
    Program& p = prog_;
    const bool wasOnline = p.av.online;
    if (wasOnline) p.SetOnline(false);
    demoLine_.reset();
    EnterDemo(p);
    std::string why;
    if (!MakeDemoLine(why)) {
        p.msg.Error(Format(p.texts.tx(kTxDemoLineFailed), {why}));
        return false;
    }
    // Before the delayed opening of the ports after start, that opening takes the line online.
    if (p.av.Tick < p.av.OpenUhr && timer_.isActive()) return true;
    p.SetOnline(true);
    return true;
}

void ProgramHost::Shutdown() {
    if (shutDown_ || !prog_.started) return;
    shutDown_ = true;
    timer_.stop();
    prog_.Shutdown();
}

} // namespace vdl
