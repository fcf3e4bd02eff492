// A serial port through the toolkit's serial port class: used where no terminal device
// interface exists (Windows). The toolkit reports no parity or framing errors and no breaks;
// line errors are therefore not logged on such ports. A device that goes away while open (an
// adapter pulled out) is reported to the channel as a lost line.
#pragma once

#include "link/serial_port.h"

#include <QObject>
#include <QSerialPort>

class QTimer;

namespace vdl {

class PortNames;

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const PortNames& names, QObject* parent = nullptr);

    void SetPortNumber(int32_t n) override { number_ = n; }
    void SetLine(int32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) override;
    void FlushInput() override;
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return port_.isOpen(); }
    uint16_t AddOutputBufferTrigger() override { return 1; }
    uint16_t AddModemStatusTrigger() override { return 2; }
    void ArmModemStatusTrigger(uint16_t handle, uint8_t mask) override;
    int Available() override { return static_cast<int>(port_.bytesAvailable()); }
    int Read(uint8_t* buf, int n) override;
    uint16_t LineError() override { return lastError_; }
    bool BreakReceived() override { return false; }
    uint8_t ModemStatus() override;
    void Write(const uint8_t* data, int n) override;
    void SetRts(bool on) override;
    void SetDtr(bool on) override;
    bool Dtr() override { return port_.isOpen() && port_.isDataTerminalReady(); }
    bool Dcd() override;

private:
    void TakeFault();

    const PortNames& names_;
    QSerialPort port_;
    int32_t number_ = 0;
    uint16_t lastError_ = LE_NONE;
    uint8_t mask_ = 0;
    int lastLines_ = -1;
    uint8_t changes_ = 0;
    QTimer* modemTimer_ = nullptr;
};

} // namespace vdl
