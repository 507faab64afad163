#include "ui/device/Tfw_upg_Form.h"

Tfw_upg_Form::Tfw_upg_Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fw_upg_Form"));
    setWindowTitle(QStringLiteral("  Firmware Upgrade..."));
}
