#include "platform/termios_port.h"

#ifndef _WIN32

#include "link/port_names.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace vdl {

namespace {

speed_t SpeedOf(int32_t baud, bool& exact) {
    struct {
        int32_t baud;
        speed_t speed;
    } static const table[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800},
#endif
#ifdef B921600
        {921600, B921600},
#endif
    };
    exact = false;
    speed_t best = B9600;
    int32_t bestDiff = INT32_MAX;
    for (const auto& e : table) {
        if (e.baud == baud) {
            exact = true;
            return e.speed;
        }
        int32_t d = e.baud > baud ? e.baud - baud : baud - e.baud;
        if (d < bestDiff) {
            bestDiff = d;
            best = e.speed;
        }
    }
    return best;
}

PortFault FaultOf(int err) {
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortFault::NoDevice;
    case EACCES:
    case EPERM:
        return PortFault::NoAccess;
    case EBUSY:
        return PortFault::Busy;
    case ENOTTY:
        return PortFault::NotSerial;
    default:
        return PortFault::Other;
    }
}

} // namespace

TermiosPort::TermiosPort(const PortNames& names, QObject* parent)
    : QObject(parent), names_(names) {}

TermiosPort::~TermiosPort() {
    Close();
}

void TermiosPort::SetLine(int32_t baud, uint8_t parity, uint8_t dataBits, uint8_t stopBits) {
    baud_ = baud;
    parity_ = parity;
    dataBits_ = dataBits;
    stopBits_ = stopBits;
}

void TermiosPort::Note(const std::string& what) {
    if (std::find(noted_.begin(), noted_.end(), what) != noted_.end()) return;
    noted_.push_back(what);
    notes_.push_back(names_.DevicePath(number_) + ": " + what);
}

bool TermiosPort::Open() {
    Close();
    SetFault(PortFault::None);
    std::string path = names_.DevicePath(number_);
    if (path.empty()) {
        SetFault(PortFault::Unbound, "no device for port " + std::to_string(number_));
        return false;
    }
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        SetFault(FaultOf(errno), std::strerror(errno));
        return false;
    }
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) {
        SetFault(FaultOf(errno), std::strerror(errno));
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    switch (dataBits_) {
    case 5:
        tio.c_cflag |= CS5;
        break;
    case 6:
        tio.c_cflag |= CS6;
        break;
    case 7:
        tio.c_cflag |= CS7;
        break;
    default:
        tio.c_cflag |= CS8;
        break;
    }
    if (stopBits_ == 2) tio.c_cflag |= CSTOPB;
    // Errors and breaks are marked in the stream (0xFF 0x00 x) instead of being dropped.
    tio.c_iflag &= ~(IGNPAR | IGNBRK | BRKINT | ISTRIP | IXON | IXOFF | IXANY);
    tio.c_iflag |= PARMRK;
    if (parity_ != PAR_NONE) {
        tio.c_cflag |= PARENB;
        tio.c_iflag |= INPCK;
        if (parity_ == PAR_ODD || parity_ == PAR_MARK) tio.c_cflag |= PARODD;
        if (parity_ == PAR_MARK || parity_ == PAR_SPACE) {
#ifdef CMSPAR
            tio.c_cflag |= CMSPAR;
#else
            Note("mark and space parity are not available");
#endif
        }
    } else {
        tio.c_iflag &= ~INPCK;
    }
    bool exact = false;
    speed_t sp = SpeedOf(baud_, exact);
    if (!exact)
        Note("baud rate " + std::to_string(baud_) + " not available; nearest standard rate used");
    cfsetispeed(&tio, sp);
    cfsetospeed(&tio, sp);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0)
        Note(std::string("line settings refused: ") + std::strerror(errno));

    rx_.clear();
    tx_.clear();
    lineLost_ = false;
    parmrkState_ = 0;
    pendingError_ = LE_NONE;
    lastModem_ = -1;
    changes_ = 0;
    countersKnown_ = false;
    CheckCounters();

    readNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
    writeNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { OnWritable(); });
    // The present RTS and DTR requests are applied to the opened line.
    SetRts(rts_);
    SetDtr(dtr_);
    return true;
}

void TermiosPort::Close() {
    if (modemTimer_) {
        modemTimer_->stop();
        delete modemTimer_;
        modemTimer_ = nullptr;
    }
    // The port may be closed from inside a notifier's own signal.
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_}) {
        if (!*n) continue;
        (*n)->setEnabled(false);
        (*n)->deleteLater();
        *n = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    modemMask_ = 0;
}

void TermiosPort::FlushInput() {
    rx_.clear();
    parmrkState_ = 0;
    pendingError_ = LE_NONE;
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
}

// Splits the PARMRK marks out of the stream: 0xFF 0xFF is a data byte 0xFF, 0xFF 0x00 0x00 a
// break, 0xFF 0x00 x a byte x received with a parity or framing error.
void TermiosPort::ParseInput(const uint8_t* data, int n) {
    for (int i = 0; i < n; ++i) {
        uint8_t c = data[i];
        switch (parmrkState_) {
        case 0:
            if (c == 0xFF) {
                parmrkState_ = 1;
            } else {
                rx_.push_back({c, pendingError_});
                pendingError_ = LE_NONE;
            }
            break;
        case 1:
            if (c == 0xFF) {
                rx_.push_back({0xFF, pendingError_});
                pendingError_ = LE_NONE;
                parmrkState_ = 0;
            } else if (c == 0x00) {
                parmrkState_ = 2;
            } else {
                // Not a mark: keep both bytes as they came.
                rx_.push_back({0xFF, pendingError_});
                rx_.push_back({c, LE_NONE});
                pendingError_ = LE_NONE;
                parmrkState_ = 0;
            }
            break;
        default:
            if (c == 0x00) {
                // A break carries no data byte; it marks the next byte, or the block itself.
                pendingError_ = LE_BREAK;
            } else {
                rx_.push_back({c, parity_ != PAR_NONE ? uint8_t(LE_PARITY) : uint8_t(LE_FRAMING)});
            }
            parmrkState_ = 0;
            break;
        }
    }
}

void TermiosPort::CheckCounters() {
#ifdef TIOCGICOUNT
    serial_icounter_struct ic{};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0) return; // not a UART (pseudo-terminal, USB adapter)
    unsigned long ov =
        static_cast<unsigned long>(ic.overrun) + static_cast<unsigned long>(ic.buf_overrun);
    if (countersKnown_ && ov != overruns_) pendingError_ = LE_OVERRUN;
    overruns_ = ov;
    countersKnown_ = true;
#endif
}

void TermiosPort::Lose(PortFault f, int err) {
    if (lineLost_) return;
    lineLost_ = true;
    // Nothing more is read or written: the descriptor is no longer watched until the channel
    // closes the port, which it does when it hears of the loss from the event loop.
    if (readNotifier_) readNotifier_->setEnabled(false);
    if (writeNotifier_) writeNotifier_->setEnabled(false);
    if (modemTimer_) modemTimer_->stop();
    SetFault(f, err ? std::strerror(err) : "hang-up");
    QTimer::singleShot(0, this, [this] {
        if (fd_ >= 0 && Events()) Events()->OnLineLost();
    });
}

void TermiosPort::OnReadable() {
    if (fd_ < 0) return;
    uint8_t buf[4096];
    bool gotAny = false;
    PortFault lost = PortFault::None;
    int lostErr = 0;
    for (;;) {
        ssize_t r = ::read(fd_, buf, sizeof buf);
        if (r > 0) {
            ParseInput(buf, static_cast<int>(r));
            gotAny = true;
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) {
            lost = PortFault::IoError;
            lostErr = errno;
        } else if (r == 0 && !gotAny) {
            // A raw line without a byte reads 0 both when it is idle and after a hang-up; only
            // the hang-up leaves the descriptor reporting it. Bytes before a hang-up are read
            // first: the descriptor stays ready and the next event finds the hang-up alone.
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)))
                lost = PortFault::HungUp;
        }
        break;
    }
    CheckCounters();
    // A break with no byte after it still reaches the channel, as an empty block.
    if (pendingError_ != LE_NONE && rx_.empty()) {
        lastError_ = pendingError_;
        lastBreak_ = pendingError_ == LE_BREAK;
        pendingError_ = LE_NONE;
        if (Events()) Events()->OnDataAvailable(0);
    } else if (gotAny && !rx_.empty() && Events()) {
        Events()->OnDataAvailable(static_cast<int>(rx_.size()));
    }
    if (lost != PortFault::None && fd_ >= 0) Lose(lost, lostErr);
}

int TermiosPort::Read(uint8_t* buf, int n) {
    int k = 0;
    uint8_t err = LE_NONE;
    while (k < n && !rx_.empty()) {
        const RxByte& rb = rx_.front();
        buf[k++] = rb.b;
        if (rb.err != LE_NONE && (err == LE_NONE || rb.err == LE_BREAK)) err = rb.err;
        rx_.pop_front();
    }
    lastError_ = err;
    lastBreak_ = err == LE_BREAK;
    return k;
}

void TermiosPort::Write(const uint8_t* data, int n) {
    if (fd_ < 0 || n <= 0 || lineLost_) return;
    tx_.insert(tx_.end(), data, data + n);
    OnWritable();
}

void TermiosPort::OnWritable() {
    while (!tx_.empty() && fd_ >= 0) {
        ssize_t w = ::write(fd_, tx_.data(), tx_.size());
        if (w > 0) {
            tx_.erase(tx_.begin(), tx_.begin() + w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) {
            tx_.clear();
            Lose(PortFault::IoError, errno);
            return;
        }
        break;
    }
    if (writeNotifier_) writeNotifier_->setEnabled(!tx_.empty());
}

bool TermiosPort::ModemBits(int& bits) {
    if (fd_ < 0) return false;
    if (ioctl(fd_, TIOCMGET, &bits) != 0) {
        if (!modemMissing_) Note("the modem lines cannot be read on this device");
        modemMissing_ = true;
        return false;
    }
    return true;
}

void TermiosPort::PollModem() {
    int bits = 0;
    if (!ModemBits(bits)) return;
    if (lastModem_ < 0) {
        lastModem_ = bits;
        return;
    }
    int diff = bits ^ lastModem_;
    lastModem_ = bits;
    uint8_t chg = 0;
    if (diff & TIOCM_CTS) chg |= MS_CTS_CHG;
    if (diff & TIOCM_DSR) chg |= MS_DSR_CHG;
    if (diff & TIOCM_RNG) chg |= MS_RI_CHG;
    if (diff & TIOCM_CAR) chg |= MS_DCD_CHG;
    changes_ |= chg;
    // The trigger fires when a line of its mask changed.
    uint8_t watched = static_cast<uint8_t>(
        ((modemMask_ & MS_CTS) ? MS_CTS_CHG : 0) | ((modemMask_ & MS_DSR) ? MS_DSR_CHG : 0) |
        ((modemMask_ & MS_RI) ? MS_RI_CHG : 0) | ((modemMask_ & MS_DCD) ? MS_DCD_CHG : 0));
    if ((chg & watched) && Events()) Events()->OnStatusTrigger(2);
}

void TermiosPort::ArmModemStatusTrigger(uint16_t handle, uint8_t mask) {
    if (handle != 2 || fd_ < 0) return;
    modemMask_ = mask;
    if (!modemTimer_) {
        // The driver offers no change event that fits the event loop; the lines are read
        // every 10 ms while a trigger is armed.
        modemTimer_ = new QTimer(this);
        modemTimer_->setInterval(10);
        connect(modemTimer_, &QTimer::timeout, this, [this] { PollModem(); });
        PollModem();
    }
    if (!modemMissing_) modemTimer_->start();
}

uint8_t TermiosPort::ModemStatus() {
    int bits = 0;
    uint8_t s = 0;
    if (ModemBits(bits)) {
        if (lastModem_ >= 0) {
            int diff = bits ^ lastModem_;
            if (diff & TIOCM_CTS) changes_ |= MS_CTS_CHG;
            if (diff & TIOCM_DSR) changes_ |= MS_DSR_CHG;
            if (diff & TIOCM_RNG) changes_ |= MS_RI_CHG;
            if (diff & TIOCM_CAR) changes_ |= MS_DCD_CHG;
        }
        lastModem_ = bits;
        if (bits & TIOCM_CTS) s |= MS_CTS;
        if (bits & TIOCM_DSR) s |= MS_DSR;
        if (bits & TIOCM_RNG) s |= MS_RI;
        if (bits & TIOCM_CAR) s |= MS_DCD;
    }
    s |= changes_;
    changes_ = 0;
    return s;
}

void TermiosPort::SetRts(bool on) {
    rts_ = on;
    if (fd_ < 0) return;
    int bit = TIOCM_RTS;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        Note("RTS cannot be switched on this device");
}

void TermiosPort::SetDtr(bool on) {
    dtr_ = on;
    if (fd_ < 0) return;
    int bit = TIOCM_DTR;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        Note("DTR cannot be switched on this device");
}

bool TermiosPort::Dtr() {
    int bits = 0;
    if (fd_ >= 0 && ioctl(fd_, TIOCMGET, &bits) == 0) return (bits & TIOCM_DTR) != 0;
    return dtr_;
}

bool TermiosPort::Dcd() {
    int bits = 0;
    return ModemBits(bits) && (bits & TIOCM_CAR);
}

} // namespace vdl

#endif // _WIN32
