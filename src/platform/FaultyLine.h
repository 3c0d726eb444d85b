#pragma once

#include "platform/SerialPeer.h"

#include <QByteArray>
#include <set>

namespace tarquel {

// The line between the PC and a device, losing chosen commands on the way: the address of a
// read of one of silentReads (the read gets no answer), a write-word command to one of
// refusedWrites, the n-th write-word command (dropWrite, counted from 1), or the n-th
// add-to-word command (dropAdd: its "#" is lost, so the device takes the rest for idle bytes).
// Everything else passes unchanged.
class FaultyLine : public SerialPeer {
public:
    void receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) override {
        if (bytes.size() == 2 && readPending_ && silentReads.count(addressOf(bytes, 0)) > 0) {
            readPending_ = false;
            return;
        }
        readPending_ = bytes.size() == 1 && bytes[0] == '\x7D';
        if (bytes.size() == 5 && bytes[0] == '\x7B' &&
            (refusedWrites.count(addressOf(bytes, 1)) > 0 || ++writes_ == dropWrite)) {
            return;
        }
        if (bytes.size() == 1 && bytes[0] == '#' && ++adds_ == dropAdd) {
            return;
        }
        device->receive(bytes, nowMs, pcBaud);
    }
    QByteArray transmit(qint64 nowMs, int pcBaud) override {
        return device->transmit(nowMs, pcBaud);
    }
    qint64 nextTransmitMs(qint64 nowMs) const override { return device->nextTransmitMs(nowMs); }

    SerialPeer* device = nullptr;
    std::set<int> silentReads;
    std::set<int> refusedWrites;
    int dropWrite = 0;
    int dropAdd = 0;

private:
    static int addressOf(const QByteArray& bytes, int at) {
        return static_cast<quint8>(bytes[at]) << 8 | static_cast<quint8>(bytes[at + 1]);
    }
    bool readPending_ = false;
    int writes_ = 0;
    int adds_ = 0;
};

}  // namespace tarquel
