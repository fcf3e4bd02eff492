// The serial port behind a channel. The platform layer implements it (termios on Linux, the
// toolkit's serial port elsewhere); tests use a scripted fake. All calls happen on the main
// thread; events arrive through the event loop.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vdl {

// Line error codes of a received block (fehl).
enum : uint16_t {
    LE_NONE = 0,
    LE_OVERRUN = 1, // the receiver lost characters
    LE_PARITY = 2,
    LE_FRAMING = 3,
    LE_RXOVERFLOW = 4, // the input buffer overflowed
    LE_BREAK = 5,
};

// Parity settings in the order of T_BetriebsPar::pari.
enum : uint8_t { PAR_NONE = 0, PAR_ODD = 1, PAR_EVEN = 2, PAR_MARK = 3, PAR_SPACE = 4 };

// Modem status byte: low nibble the change bits, high nibble the present states.
enum : uint8_t {
    MS_CTS_CHG = 0x01,
    MS_DSR_CHG = 0x02,
    MS_RI_CHG = 0x04,
    MS_DCD_CHG = 0x08,
    MS_CTS = 0x10,
    MS_DSR = 0x20,
    MS_RI = 0x40,
    MS_DCD = 0x80,
};

// Why a port could not be opened, or why its line was lost.
enum class PortFault : uint8_t {
    None = 0,
    NoDevice,  // the device does not exist
    Unbound,   // the number names no device
    NoAccess,  // the user may not open it
    Busy,      // another program holds it
    NotSerial, // the device is no serial port
    IoError,   // the device failed while in use (an adapter pulled out)
    HungUp,    // the other side hung up (the far end of a pseudo-terminal closed)
    Other,     // only the operating system's own words say what
};

// What a port reports to its channel.
class SerialPortEvents {
public:
    virtual ~SerialPortEvents() = default;
    // Bytes are waiting to be read.
    virtual void OnDataAvailable(int count) = 0;
    // A status trigger fired.
    virtual void OnStatusTrigger(uint16_t handle) = 0;
    // The line is gone (hang-up, device removed): the port no longer watches it. Fault()
    // says why.
    virtual void OnLineLost() {}
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The channel that receives this port's events (the port's user tag).
    void SetEvents(SerialPortEvents* e) { events_ = e; }
    SerialPortEvents* Events() const { return events_; }

    virtual void SetPortNumber(int32_t n) = 0;
    virtual void SetLine(int32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) = 0;
    virtual void FlushInput() = 0;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Status triggers: a 16-bit handle each; the modem trigger fires when one of the modem
    // lines of the mask (MS_* present-state bits) changes.
    virtual uint16_t AddOutputBufferTrigger() = 0;
    virtual uint16_t AddModemStatusTrigger() = 0;
    virtual void ArmModemStatusTrigger(uint16_t handle, uint8_t mask) = 0;

    // Number of bytes waiting; reading a block; the line error of the bytes just read.
    virtual int Available() = 0;
    virtual int Read(uint8_t* buf, int n) = 0;
    virtual uint16_t LineError() = 0;
    virtual bool BreakReceived() = 0;

    // Present modem status with the change bits since the last call.
    virtual uint8_t ModemStatus() = 0;

    // Queues bytes for sending; returns at once.
    virtual void Write(const uint8_t* data, int n) = 0;
    virtual void SetRts(bool on) = 0;
    virtual void SetDtr(bool on) = 0;
    virtual bool Dtr() = 0;
    virtual bool Dcd() = 0;

    // Why the last Open failed or the line was lost, and the operating system's own words.
    PortFault Fault() const { return fault_; }
    const std::string& FaultText() const { return faultText_; }

protected:
    void SetFault(PortFault f, std::string text = {}) {
        fault_ = f;
        faultText_ = std::move(text);
    }

private:
    SerialPortEvents* events_ = nullptr;
    PortFault fault_ = PortFault::None;
    std::string faultText_;
};

} // namespace vdl
