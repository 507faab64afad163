#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads little-endian fields from a byte range it does not own. Every read is
// checked against the bytes left, so a corrupt length can never cause a huge
// allocation or a read past the end: it throws ProjectFileError naming `what`.
class LeByteReader {
public:
    LeByteReader(const uint8_t* data, qint64 size) : m_data(data), m_size(size) { }

    qint64 position() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }

    uint8_t u8(const char* what);
    uint32_t u32(const char* what);
    int32_t i32(const char* what) { return static_cast<int32_t>(u32(what)); }
    bool boolean(const char* what) { return u8(what) != 0; }
    double f64(const char* what);
    QString string(const char* what);
    QByteArray bytes(qint64 count, const char* what);
    // Copies up to count bytes, returns how many were available.
    qint64 readUpTo(void* dest, qint64 count);

    // Context prefixed to error messages, e.g. "handle 2 (LOGOS), image 5".
    void setContext(const QString& context) { m_context = context; }

private:
    [[noreturn]] void fail(const char* what, qint64 needed) const;
    const uint8_t* take(qint64 count, const char* what);

    const uint8_t* m_data;
    qint64 m_size;
    qint64 m_pos = 0;
    QString m_context;
};
