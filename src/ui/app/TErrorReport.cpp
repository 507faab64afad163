#include "ui/app/TErrorReport.h"

#include "ui/common/gen_lib.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

QString exceptionClassName(const std::exception& error)
{
    const char* raw = typeid(error).name();
#if defined(__GNUG__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(abi::__cxa_demangle(raw, nullptr, nullptr, &status), std::free);
    if (status == 0 && readable)
        return QString::fromUtf8(readable.get());
#endif
    return QString::fromUtf8(raw);
}

void reportException(const std::exception& error)
{
    QString text = QString::fromUtf8(error.what());
    if (text.isEmpty())
        text = exceptionClassName(error);
    Show_Message_Box(text, TMsgDlgType::MtError, QMessageBox::Ok);
}

void reportUnknownException()
{
    Show_Message_Box(QStringLiteral("An unexpected error occurred."), TMsgDlgType::MtError, QMessageBox::Ok);
}

void reportTeardownException(const std::exception& error)
{
    Show_Message_Box(QStringLiteral("Exception class name = ") + exceptionClassName(error), TMsgDlgType::MtInformation,
                     QMessageBox::Ok);
    Show_Message_Box(QStringLiteral("Exception message = ") + QString::fromUtf8(error.what()),
                     TMsgDlgType::MtInformation, QMessageBox::Ok);
}
