#pragma once
// One request as the virtual controller received it, and what it answered.

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>

struct SimFrame {
    int index = 0;     // from 1
    qint64 timeMs = 0; // since the controller started
    QByteArray bytes;  // every byte of the request, trailing bytes included (after a bad header: up to the quiet)
    uint8_t command = 0;
    uint32_t address = 0;
    uint16_t length = 0;   // the header's data length
    bool headerOk = false; // header check bytes hold
    bool dataOk = false;   // data check bytes hold (true without data)
    bool complete = false; // false: cut short by silence
    QString reply;         // "ACK", "NAK", "frame", "none", "vanished"
    // On the steady clock (std::chrono::steady_clock, in ns since its epoch):
    // when the read holding the frame's first byte returned, and when the last
    // byte of the answer was written (-1: no answer). With a paced line they
    // split a transaction's time between the controller and its host.
    qint64 arrivedNs = 0;
    qint64 answeredNs = -1;

    QJsonObject toJson() const;
};
