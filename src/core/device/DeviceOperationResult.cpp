#include "core/device/DeviceOperationResult.h"

QStringList DeviceOperationResult::sentParts() const
{
    QStringList parts;
    if (configSent)
        parts << QStringLiteral("config");
    if (imagesSent)
        parts << QStringLiteral("images");
    if (firmwareSent)
        parts << QStringLiteral("firmware");
    return parts;
}

QString verifyOutcomeText(TVerifyOutcome v)
{
    switch (v) {
    case TVerifyOutcome::NotRun: return QStringLiteral("not run");
    case TVerifyOutcome::Passed: return QStringLiteral("passed");
    case TVerifyOutcome::Differs: return QStringLiteral("differs");
    case TVerifyOutcome::NoReply: return QStringLiteral("no reply");
    case TVerifyOutcome::BadReply: return QStringLiteral("bad reply");
    case TVerifyOutcome::Refused: return QStringLiteral("refused");
    }
    return {};
}

QString transferFaultText(TTransferFault f)
{
    switch (f) {
    case TTransferFault::None: return {};
    case TTransferFault::NoAnswer: return QStringLiteral("no answer");
    case TTransferFault::Refused: return QStringLiteral("refused");
    case TTransferFault::PortGone: return QStringLiteral("port gone");
    }
    return {};
}

QString oneLine(const QString& boxText)
{
    QStringList lines;
    for (const QString& line : boxText.split(QLatin1Char('\r')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.join(QLatin1Char(' '));
}
