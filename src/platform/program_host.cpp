#include "platform/program_host.h"

#ifndef _WIN32
#include "platform/termios_port.h"
#else
#include "platform/qt_serial_port.h"
#endif

#include <QLocale>

namespace vdl {

namespace {
int LocaleLanguage() { return QLocale::system().language() == QLocale::German ? 0 : 1; }
} // namespace

ProgramHost::ProgramHost(const std::string& progDir, Messages& msg, QObject* parent)
    : QObject(parent),
      link_([this](int ch) { prog_.RunNow(ch); }),
      services_{clock_, link_, lock_, store_, folders_, {}, LocaleLanguage()},
      prog_(progDir, msg) {
    services_.enumeratePorts = [this] { return registry_.Enumerate(); };
    for (auto& p : port_) {
#ifndef _WIN32
        p = std::make_unique<TermiosPort>(registry_);
#else
        p = std::make_unique<QtSerialPort>(registry_);
#endif
    }
    timer_.setInterval(54);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { prog_.TimerStep(); });
}

ProgramHost::~ProgramHost() { Shutdown(); }

Program::StartResult ProgramHost::StartUp() { return prog_.StartUp(services_); }

void ProgramHost::Run(const std::vector<std::string>& args) {
    prog_.FormCreate(args, port_[0].get(), port_[1].get());
    timer_.start();
}

void ProgramHost::BindDevice(int channel, const std::string& path) {
    prog_.com[channel].bp.cnr = registry_.Bind(path);
}

void ProgramHost::Shutdown() {
    if (shutDown_ || !prog_.started) return;
    shutDown_ = true;
    timer_.stop();
    prog_.Shutdown();
}

} // namespace vdl
