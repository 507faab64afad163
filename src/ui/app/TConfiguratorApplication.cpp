#include "ui/app/TConfiguratorApplication.h"

#include "ui/app/TErrorReport.h"

#include <exception>

TConfiguratorApplication::TConfiguratorApplication(int& argc, char** argv) : QApplication(argc, argv) { }

bool TConfiguratorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportException(error);
    } catch (...) {
        reportUnknownException();
    }
    // The event is treated as handled: whatever its handler had done before
    // the error stays done, and nothing is retried.
    return true;
}
