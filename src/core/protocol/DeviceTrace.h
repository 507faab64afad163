#pragma once
// The device operations' steps for support: with the rule
// "corvane.device.debug=true" (QT_LOGGING_RULES or a qtlogging.ini) every step
// a device operation takes and every protocol transaction's result is logged,
// so a field report shows where an operation went, beside the frames that
// "corvane.comms" shows. Off by default.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDevice)
