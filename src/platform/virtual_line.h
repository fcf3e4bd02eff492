// A virtual line without hardware: two pseudo-terminals whose far ends the program connects,
// so that whatever is written to one device is received on the other, as on a null-modem
// cable. Channel 1 and channel 2, or this program and another one, can talk over it.
#pragma once

#ifndef _WIN32

#include <QObject>

#include <string>

class QSocketNotifier;

namespace vdl {

class VirtualLine : public QObject {
    Q_OBJECT
public:
    explicit VirtualLine(QObject* parent = nullptr);
    ~VirtualLine() override;

    // Creates the two pseudo-terminals; false (with Error()) when the system refuses.
    bool Create();
    // The device paths of the two ends.
    const std::string& EndA() const { return path_[0]; }
    const std::string& EndB() const { return path_[1]; }
    const std::string& Error() const { return error_; }
    // Bytes carried so far in each direction (A to B, B to A).
    quint64 Carried(int dir) const { return carried_[dir]; }

private:
    void Relay(int from);

    int master_[2] = {-1, -1};
    int slaveHold_[2] = {-1, -1}; // keeps each end open so that the other side never sees a hang-up
    std::string path_[2];
    QSocketNotifier* notifier_[2] = {nullptr, nullptr};
    quint64 carried_[2] = {0, 0};
    std::string error_;
};

} // namespace vdl

#endif
