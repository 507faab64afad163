#pragma once
// What the virtual controller claims to be and which faults it injects.
// Frame numbers count every received frame from 1; write numbers count the
// write-memory requests from 1. 0 switches a fault off.

#include <QByteArray>

#include <cstdint>

struct SimOptions {
    int model = 0;               // 0: first model (5813/5819), 1: RTC model (5827/5831)
    uint16_t fwVersion = 201;    // major * 100 + minor
    uint16_t blVersion = 100;    // boot-loader version
    bool bootLoader = false;     // the boot loader runs: it reports its own part number
    int partNumberOverride = -1; // report this part number instead (an unknown device)
    QByteArray initialConfig;    // the 1408-byte configuration block to start with

    bool lineRate = false;           // pace the line at 230400 bit/s, 10 bits per byte
    int nakWrite = 0;                // NAK the n-th write
    int dropWrite = 0;               // acknowledge the n-th write but store nothing
    int silentAfter = 0;             // answer nothing after the n-th frame
    int strayBefore = 0;             // send a stray 0x01 before the answer to frame n
    bool strayEvery = false;         // ... before every answer
    int ignoreResets = 0;            // leave the first k reset commands unanswered
    int vanishAfter = 0;             // close the terminal on receiving frame n, without answering
    int readReplyExtraBytes = 0;     // append this many bytes to every read reply frame
    bool corruptReadReplies = false; // spoil the data check bytes of read replies
    int corruptReadsAfter = 0;       // ... of the read replies after the n-th frame only
    int frameGapMs = 100;            // silence that ends an incomplete request
};
