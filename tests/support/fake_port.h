// A serial port whose input, line errors and modem lines the test scripts, and which records
// what is written to it and how its lines are set.
#pragma once

#include "link/serial_port.h"

#include <deque>
#include <string>
#include <vector>

namespace vdl::test {

class FakePort : public SerialPort {
public:
    void SetPortNumber(int32_t n) override { number = n; }
    void SetLine(int32_t b, uint8_t p, uint8_t d, uint8_t s) override {
        baud = b, parity = p, dataBits = d, stopBits = s;
    }
    void FlushInput() override { input.clear(); }
    bool Open() override {
        ++opens;
        isOpen = !failOpen;
        if (failOpen)
            SetFault(openFault, openFaultText);
        else
            SetFault(PortFault::None);
        return isOpen;
    }
    void Close() override { isOpen = false; }
    bool IsOpen() const override { return isOpen; }
    uint16_t AddOutputBufferTrigger() override { return 7; }
    uint16_t AddModemStatusTrigger() override {
        ++modemTriggersAdded;
        return 8;
    }
    void ArmModemStatusTrigger(uint16_t, uint8_t mask) override { armedMask = mask, ++arms; }
    int Available() override { return static_cast<int>(input.size()); }
    int Read(uint8_t* buf, int n) override {
        int k = 0;
        while (k < n && !input.empty()) {
            buf[k++] = input.front();
            input.pop_front();
        }
        reads.push_back(k);
        lastError = errorsPerRead.empty() ? 0 : errorsPerRead.front();
        if (!errorsPerRead.empty()) errorsPerRead.pop_front();
        return k;
    }
    uint16_t LineError() override { return lastError == LE_BREAK ? 0 : lastError; }
    bool BreakReceived() override { return lastError == LE_BREAK; }
    uint8_t ModemStatus() override { return modemStatus; }
    void Write(const uint8_t* d, int n) override { written.insert(written.end(), d, d + n); }
    void SetRts(bool on) override { rts = on, rtsLog.push_back(on); }
    void SetDtr(bool on) override { dtr = on, dtrLog.push_back(on); }
    bool Dtr() override { return dtr; }
    bool Dcd() override { return (modemStatus & MS_DCD) != 0; }

    // The line goes away as a pulled adapter or a closed far end would take it.
    void LoseLine(PortFault why, const std::string& text) {
        SetFault(why, text);
        if (Events()) Events()->OnLineLost();
    }

    // Puts bytes into the input and announces them to the channel.
    void Receive(const std::vector<uint8_t>& bytes) {
        input.insert(input.end(), bytes.begin(), bytes.end());
        if (Events()) Events()->OnDataAvailable(static_cast<int>(input.size()));
    }

    int32_t number = 0, baud = 0;
    uint8_t parity = 0, dataBits = 0, stopBits = 0;
    bool isOpen = false, failOpen = false;
    PortFault openFault = PortFault::NoDevice; // why a failing Open fails
    std::string openFaultText = "No such file or directory";
    int opens = 0, modemTriggersAdded = 0, arms = 0;
    uint8_t armedMask = 0, modemStatus = 0;
    std::deque<uint8_t> input;
    std::deque<uint16_t> errorsPerRead; // line error reported by each successive Read
    uint16_t lastError = 0;
    std::vector<int> reads;
    std::vector<uint8_t> written;
    bool rts = false, dtr = false;
    std::vector<bool> rtsLog;
    std::vector<bool> dtrLog; // every DTR setting, in order
};

} // namespace vdl::test
