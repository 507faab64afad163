#include "core/storage/LeByteReader.h"

#include "core/storage/ProjectFileError.h"

#include <cstring>

void LeByteReader::fail(const char* what, qint64 needed) const
{
    QString where = m_context.isEmpty() ? QString() : m_context + ": ";
    throw ProjectFileError(QStringLiteral("%1%2 needs %3 bytes at offset %4, but only %5 are left in the file")
                               .arg(where, QString::fromLatin1(what))
                               .arg(needed)
                               .arg(m_pos)
                               .arg(remaining()));
}

const uint8_t* LeByteReader::take(qint64 count, const char* what)
{
    if (count < 0 || count > remaining())
        fail(what, count);
    const uint8_t* p = m_data + m_pos;
    m_pos += count;
    return p;
}

uint8_t LeByteReader::u8(const char* what)
{
    return *take(1, what);
}

uint32_t LeByteReader::u32(const char* what)
{
    const uint8_t* p = take(4, what);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

double LeByteReader::f64(const char* what)
{
    const uint8_t* p = take(8, what);
    double d;
    std::memcpy(&d, p, 8); // little-endian host, checked at compile time by the records
    return d;
}

QString LeByteReader::string(const char* what)
{
    const uint32_t n = u32(what);
    const uint8_t* p = take(qint64(n), what);
    return QString::fromUtf8(reinterpret_cast<const char*>(p), qsizetype(n));
}

QByteArray LeByteReader::bytes(qint64 count, const char* what)
{
    const uint8_t* p = take(count, what);
    return QByteArray(reinterpret_cast<const char*>(p), qsizetype(count));
}

qint64 LeByteReader::readUpTo(void* dest, qint64 count)
{
    const qint64 n = count < remaining() ? count : remaining();
    std::memcpy(dest, m_data + m_pos, size_t(n));
    m_pos += n;
    return n;
}
