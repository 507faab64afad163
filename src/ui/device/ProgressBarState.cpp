#include "ui/device/ProgressBarState.h"

#include <QPalette>
#include <QStyle>

#include <QProgressBar>
#include <algorithm>
#include <limits>

namespace {
const char* const kErrorProperty = "corvaneError";
}

void setProgressState(QProgressBar* bar, qint64 position, qint64 maximum, bool error)
{
    const int max = int(std::clamp<qint64>(maximum, 1, std::numeric_limits<int>::max()));
    bar->setRange(0, max);
    bar->setValue(int(std::clamp<qint64>(position, 0, max)));
    if (bar->property(kErrorProperty).toBool() == error)
        return;
    bar->setProperty(kErrorProperty, error);
    QPalette p = bar->palette();
    p.setColor(QPalette::Highlight,
               error ? QColor(0xD0, 0x20, 0x20) : bar->style()->standardPalette().color(QPalette::Highlight));
    bar->setPalette(p);
    bar->setAccessibleDescription(error ? QStringLiteral("error") : QString());
}

bool progressInError(const QProgressBar* bar)
{
    return bar->property(kErrorProperty).toBool();
}
