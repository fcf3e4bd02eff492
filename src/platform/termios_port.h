// A serial port on a Unix terminal device (termios), driven by the Qt event loop. Parity and
// framing errors and breaks are marked in the byte stream by the driver (PARMRK) and reported
// with the block they arrive in; mark and space parity use CMSPAR; the modem lines are read
// with TIOCMGET. A pseudo-terminal lacks the modem lines: that is reported once, never fatal.
#pragma once

#ifndef _WIN32

#include "link/serial_port.h"

#include <QObject>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace vdl {

class PortNames;

// A hang-up or a failing read (the device went away) stops the watching of the descriptor and
// is reported to the channel as a lost line, from the event loop.
class TermiosPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    // names maps the port number to a device path.
    explicit TermiosPort(const PortNames& names, QObject* parent = nullptr);
    ~TermiosPort() override;

    void SetPortNumber(int32_t n) override { number_ = n; }
    void SetLine(int32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) override;
    void FlushInput() override;
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    uint16_t AddOutputBufferTrigger() override { return 1; }
    uint16_t AddModemStatusTrigger() override { return 2; }
    void ArmModemStatusTrigger(uint16_t handle, uint8_t mask) override;

    int Available() override { return static_cast<int>(rx_.size()); }
    int Read(uint8_t* buf, int n) override;
    uint16_t LineError() override { return lastError_; }
    bool BreakReceived() override { return lastBreak_; }
    uint8_t ModemStatus() override;

    void Write(const uint8_t* data, int n) override;
    void SetRts(bool on) override;
    void SetDtr(bool on) override;
    bool Dtr() override;
    bool Dcd() override;

    // Messages about missing line features (reported once per port).
    const std::vector<std::string>& Notes() const { return notes_; }

private:
    void OnReadable();
    void Lose(PortFault f, int err);
    void OnWritable();
    void PollModem();
    void Note(const std::string& what);
    bool ModemBits(int& bits);
    void ParseInput(const uint8_t* data, int n);
    void CheckCounters();

    const PortNames& names_;
    int32_t number_ = 0;
    int32_t baud_ = 9600;
    uint8_t parity_ = PAR_EVEN, dataBits_ = 8, stopBits_ = 1;
    int fd_ = -1;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QTimer* modemTimer_ = nullptr;

    struct RxByte {
        uint8_t b;
        uint8_t err; // line error that arrived with this byte (LE_*)
    };
    std::deque<RxByte> rx_;
    std::vector<uint8_t> tx_;
    int parmrkState_ = 0;            // 0 normal, 1 after 0xFF, 2 after 0xFF 0x00
    uint8_t pendingError_ = LE_NONE; // an error seen with no byte to carry it yet
    uint16_t lastError_ = LE_NONE;
    bool lastBreak_ = false;

    uint8_t modemMask_ = 0;
    int lastModem_ = -1;  // last modem line bits read (for the change bits)
    uint8_t changes_ = 0; // change bits gathered since ModemStatus() was last read
    bool modemMissing_ = false;
    bool lineLost_ = false; // reported to the channel; nothing is watched until it reopens
    bool rts_ = false, dtr_ = false;
    unsigned long overruns_ = 0; // driver counters at the last check
    bool countersKnown_ = false;

    std::vector<std::string> notes_;
    std::vector<std::string> noted_;
};

} // namespace vdl

#endif // _WIN32
