#include "ui/imaging/Timg_select_Form.h"

Timg_select_Form::Timg_select_Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("img_select_Form"));
    setWindowTitle(QStringLiteral("Select Image..."));
}
