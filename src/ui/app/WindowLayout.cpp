#include "ui/app/WindowLayout.h"

#include "ui/app/TActivityLogPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>

namespace {
// Room for the title bar and borders the desktop adds around a window.
constexpr int kFrameMargin = 40;
// Entries in view at the first start; the window keeps this height for the
// log however it is resized, until the user moves the splitter.
constexpr int kLogRowsShown = 3;
} // namespace

void placeCornerButton(QMenuBar* bar, QPushButton* button)
{
    const int side = bar->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, button);
    button->setIconSize(QSize(side, side));
    button->setFlat(true);
    bar->setCornerWidget(button, Qt::TopRightCorner);
}

int defaultLogHeight(const TActivityLogPanel* log)
{
    const QTableWidget* grid = log->grid();
    const int rows = grid->verticalHeader()->defaultSectionSize() * kLogRowsShown;
    const int header = grid->horizontalHeader()->sizeHint().height();
    const int title = log->findChild<QLabel*>() ? log->findChild<QLabel*>()->sizeHint().height() : 0;
    // Never less than the 130 pixels (at 96 dots per inch) the window keeps
    // for the log at its smallest.
    return qMax(130 * log->logicalDpiY() / 96, title + header + rows + 2 * grid->frameWidth() + 4);
}

QSize screenRoom(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize available = screen->availableGeometry().size();
    return QSize(qMax(1, available.width() - kFrameMargin), qMax(1, available.height() - kFrameMargin));
}
