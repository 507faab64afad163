#pragma once
// Inside the resources library: renders a built-in picture without keeping
// it. Everything else calls picture(), which keeps what this renders.

#include <QImage>
#include <QSize>
#include <QString>

QImage renderPicture(const QString& name, QSize size);
