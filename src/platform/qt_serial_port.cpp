#include "platform/qt_serial_port.h"

#include "link/port_names.h"

#include <QTimer>

namespace vdl {

namespace {

uint8_t StatusOf(QSerialPort::PinoutSignals s) {
    uint8_t b = 0;
    if (s & QSerialPort::ClearToSendSignal) b |= MS_CTS;
    if (s & QSerialPort::DataSetReadySignal) b |= MS_DSR;
    if (s & QSerialPort::RingIndicatorSignal) b |= MS_RI;
    if (s & QSerialPort::DataCarrierDetectSignal) b |= MS_DCD;
    return b;
}

} // namespace

QtSerialPort::QtSerialPort(const PortNames& names, QObject* parent)
    : QObject(parent), names_(names) {
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        if (Events()) Events()->OnDataAvailable(static_cast<int>(port_.bytesAvailable()));
    });
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // The device went away while open: the channel closes the port from the event loop.
        if (e != QSerialPort::ResourceError || !port_.isOpen()) return;
        SetFault(PortFault::IoError, port_.errorString().toStdString());
        delete modemTimer_;
        modemTimer_ = nullptr;
        QTimer::singleShot(0, this, [this] {
            if (port_.isOpen() && Events()) Events()->OnLineLost();
        });
    });
}

void QtSerialPort::TakeFault() {
    PortFault f = PortFault::Other;
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        f = PortFault::NoDevice;
        break;
    case QSerialPort::PermissionError:
        f = PortFault::NoAccess;
        break;
    case QSerialPort::UnsupportedOperationError:
        f = PortFault::NotSerial;
        break;
    default:
        break;
    }
    SetFault(f, port_.errorString().toStdString());
}

void QtSerialPort::SetLine(int32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
    port_.setBaudRate(baud);
    switch (parity) {
    case PAR_ODD:
        port_.setParity(QSerialPort::OddParity);
        break;
    case PAR_EVEN:
        port_.setParity(QSerialPort::EvenParity);
        break;
    case PAR_MARK:
        port_.setParity(QSerialPort::MarkParity);
        break;
    case PAR_SPACE:
        port_.setParity(QSerialPort::SpaceParity);
        break;
    default:
        port_.setParity(QSerialPort::NoParity);
        break;
    }
    port_.setDataBits(dataBits == 5   ? QSerialPort::Data5
                      : dataBits == 6 ? QSerialPort::Data6
                      : dataBits == 7 ? QSerialPort::Data7
                                      : QSerialPort::Data8);
    port_.setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::FlushInput() {
    if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

bool QtSerialPort::Open() {
    SetFault(PortFault::None);
    std::string device = names_.DevicePath(number_);
    if (device.empty()) {
        SetFault(PortFault::Unbound, "no device for port " + std::to_string(number_));
        return false;
    }
    port_.setPortName(QString::fromStdString(device));
    lastLines_ = -1;
    changes_ = 0;
    if (port_.open(QIODevice::ReadWrite)) return true;
    TakeFault();
    return false;
}

void QtSerialPort::Close() {
    delete modemTimer_;
    modemTimer_ = nullptr;
    if (port_.isOpen()) port_.close();
}

int QtSerialPort::Read(uint8_t* buf, int n) {
    lastError_ = LE_NONE;
    qint64 r = port_.read(reinterpret_cast<char*>(buf), n);
    return r < 0 ? 0 : static_cast<int>(r);
}

void QtSerialPort::ArmModemStatusTrigger(uint16_t handle, uint8_t mask) {
    if (handle != 2 || !port_.isOpen()) return;
    mask_ = mask;
    if (!modemTimer_) {
        modemTimer_ = new QTimer(this);
        modemTimer_->setInterval(10);
        connect(modemTimer_, &QTimer::timeout, this, [this] {
            int lines = StatusOf(port_.pinoutSignals());
            if (lastLines_ >= 0) {
                uint8_t diff = static_cast<uint8_t>((lines ^ lastLines_) >> 4);
                changes_ |= diff;
                if ((diff << 4) & mask_ && Events()) Events()->OnStatusTrigger(2);
            }
            lastLines_ = lines;
        });
    }
    modemTimer_->start();
}

uint8_t QtSerialPort::ModemStatus() {
    uint8_t s = port_.isOpen() ? StatusOf(port_.pinoutSignals()) : 0;
    if (lastLines_ >= 0) changes_ |= static_cast<uint8_t>((s ^ lastLines_) >> 4);
    lastLines_ = s;
    s |= changes_;
    changes_ = 0;
    return s;
}

void QtSerialPort::Write(const uint8_t* data, int n) {
    if (port_.isOpen() && n > 0) port_.write(reinterpret_cast<const char*>(data), n);
}

void QtSerialPort::SetRts(bool on) {
    if (port_.isOpen()) port_.setRequestToSend(on);
}

void QtSerialPort::SetDtr(bool on) {
    if (port_.isOpen()) port_.setDataTerminalReady(on);
}

bool QtSerialPort::Dcd() {
    return port_.isOpen() && (port_.pinoutSignals() & QSerialPort::DataCarrierDetectSignal);
}

} // namespace vdl
