#pragma once

#include <QIODevice>
#include <QString>

#include <cstdint>

// Writes little-endian fields to a device; a short write throws
// ProjectFileError with the device's own error text.
class LeByteWriter {
public:
    explicit LeByteWriter(QIODevice& device) : m_device(device) { }

    void u8(uint8_t v) { raw(&v, 1); }
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void boolean(bool v) { u8(v ? 1 : 0); }
    void f64(double v);
    void string(const QString& s);
    void raw(const void* data, qint64 count);

private:
    QIODevice& m_device;
};
