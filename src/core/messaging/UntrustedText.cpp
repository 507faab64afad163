#include "core/messaging/UntrustedText.h"

namespace {

bool isFormatControl(char16_t c)
{
    return c == 0x2028 || c == 0x2029 || (c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

} // namespace

QString untrustedText(const QString& text, int maxLength)
{
    QString out;
    int shown = 0;
    for (const QChar qc : text) {
        if (shown == maxLength) {
            out += QStringLiteral("...");
            break;
        }
        ++shown;
        const char16_t c = qc.unicode();
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else if (isFormatControl(c))
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else
            out += qc;
    }
    return out;
}
