#include "FuzzTargets.h"

#include "core/protocol/BLcomms.h"
#include "sim/lib/FrameAssembler.h"

#include <QJsonDocument>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

bool sameFrames(const std::vector<SimFrame>& a, const std::vector<SimFrame>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].bytes != b[i].bytes || a[i].command != b[i].command || a[i].address != b[i].address
            || a[i].length != b[i].length || a[i].headerOk != b[i].headerOk || a[i].dataOk != b[i].dataOk
            || a[i].complete != b[i].complete)
            return false;
    return true;
}

void append(std::vector<SimFrame>& to, std::vector<SimFrame>&& from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// What the controller relies on in every frame it is handed.
void checkFrame(const SimFrame& f)
{
    if (f.bytes.isEmpty() || uint8_t(f.bytes[0]) != BL::kStart)
        std::abort();
    if (f.complete && f.headerOk) {
        const qsizetype n = f.bytes.size();
        // A read request the line cut short of its trailing bytes is taken
        // as it is.
        const bool sized = f.length > 0                          ? n == 12 + qsizetype(f.length)
            : FrameAssembler::expectsTrailingBytes(f.command, 0) ? n >= 10 && n <= 12
                                                                 : n == 10;
        if (!sized)
            std::abort();
    }
}

} // namespace

QString fuzzFrames(const uint8_t* data, size_t size)
{
    if (size == 0)
        return QStringLiteral("empty");
    // The first byte chooses how the line's bytes arrive: in reads of 1 to 64
    // bytes. The rest is the line.
    const size_t chunk = 1 + data[0] % 64;
    const uint8_t* line = data + 1;
    const size_t n = size - 1;

    // The assembler is a state machine over bytes: how they are split into
    // reads must not change the frames it cuts.
    FrameAssembler whole;
    std::vector<SimFrame> chunked;
    for (size_t at = 0; at < n; at += chunk)
        append(chunked, whole.feed(line + at, std::min(chunk, n - at)));
    append(chunked, whole.lineQuiet());
    FrameAssembler single;
    std::vector<SimFrame> byByte;
    for (size_t at = 0; at < n; ++at)
        append(byByte, single.feed(line + at, 1));
    append(byByte, single.lineQuiet());
    if (!sameFrames(chunked, byByte))
        std::abort();
    qsizetype bytes = 0;
    for (const SimFrame& f : chunked) {
        checkFrame(f);
        bytes += f.bytes.size();
    }
    if (bytes > qsizetype(n))
        std::abort();

    // As the controller uses it: a refused header resyncs after its read,
    // and a 0xFF byte stands for the line going quiet.
    FrameAssembler controller;
    int frames = 0;
    int refused = 0;
    int cut = 0;
    for (size_t at = 0; at < n; at += chunk) {
        const size_t len = std::min(chunk, n - at);
        std::vector<SimFrame> done = controller.feed(line + at, len);
        if (line[at + len - 1] == 0xFF)
            append(done, controller.lineQuiet());
        for (SimFrame& f : done) {
            checkFrame(f);
            if (f.complete && !f.headerOk) {
                f.bytes += controller.resync();
                ++refused;
            }
            if (!f.complete)
                ++cut;
            ++frames;
            // The dump writes every frame as JSON.
            if (QJsonDocument(f.toJson()).toJson(QJsonDocument::Compact).isEmpty())
                std::abort();
        }
    }
    return QStringLiteral("%1 frames, %2 refused headers, %3 cut short").arg(frames).arg(refused).arg(cut);
}
