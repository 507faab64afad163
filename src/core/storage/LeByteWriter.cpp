#include "core/storage/LeByteWriter.h"

#include "core/storage/ProjectFileError.h"

#include <cstring>

void LeByteWriter::u32(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    raw(b, 4);
}

void LeByteWriter::f64(double v)
{
    uint8_t b[8];
    std::memcpy(b, &v, 8);
    raw(b, 8);
}

void LeByteWriter::string(const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    u32(uint32_t(utf8.size()));
    raw(utf8.constData(), utf8.size());
}

void LeByteWriter::raw(const void* data, qint64 count)
{
    if (count > 0 && m_device.write(static_cast<const char*>(data), count) != count)
        throw ProjectFileError(QStringLiteral("Cannot write the project file: %1").arg(m_device.errorString()));
}
