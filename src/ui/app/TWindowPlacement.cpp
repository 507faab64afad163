#include "ui/app/TWindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QSplitter>

namespace {
const QString kGeometryKey = QStringLiteral("mainWindow/geometry");
const QString kSplitterKey = QStringLiteral("mainWindow/logSplitter");
// Room for the title bar and borders the desktop adds around the window.
constexpr int kPlacementFrameMargin = 40;
constexpr int kLeastLogHeight = 96;
constexpr int kMostLogHeight = 200;
} // namespace

TWindowPlacement::TWindowPlacement(QMainWindow* window, QSplitter* splitter, std::unique_ptr<QSettings> settings)
    : QObject(window)
    , m_window(window)
    , m_splitter(splitter)
    , m_settings(std::move(settings))
{
    m_window->installEventFilter(this);
}

TWindowPlacement::~TWindowPlacement() = default;

QRect TWindowPlacement::fittingGeometry(QSize wanted, QRect available)
{
    const QSize room(qMax(1, available.width() - kPlacementFrameMargin),
                     qMax(1, available.height() - kPlacementFrameMargin));
    QRect fitted(QPoint(0, 0), wanted.boundedTo(room));
    fitted.moveCenter(available.center());
    return fitted;
}

void TWindowPlacement::restore()
{
    // A saved place is put back on a screen that still exists (Qt moves a
    // window whose screen is gone onto one that is there).
    const QByteArray geometry = m_settings->value(kGeometryKey).toByteArray();
    if (geometry.isEmpty() || !m_window->restoreGeometry(geometry)) {
        const QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect fitted = fittingGeometry(m_window->size(), screen->availableGeometry());
            // A small screen at a large scale may leave less room than the
            // window's usual minimum: it fits the screen all the same.
            m_window->setMinimumHeight(qMin(m_window->minimumHeight(), fitted.height()));
            m_window->setGeometry(fitted);
        }
    }
    const QByteArray split = m_settings->value(kSplitterKey).toByteArray();
    if (split.isEmpty() || !m_splitter->restoreState(split)) {
        // The log's first share: a fifth of the window, within bounds that
        // keep a few entries in view and the pages their room.
        const int total = m_splitter->height() > 0 ? m_splitter->height() : m_window->height();
        const int log = qBound(kLeastLogHeight, m_window->height() * 22 / 100, kMostLogHeight);
        m_splitter->setSizes({qMax(1, total - log), log});
    }
}

void TWindowPlacement::save()
{
    m_settings->setValue(kGeometryKey, m_window->saveGeometry());
    m_settings->setValue(kSplitterKey, m_splitter->saveState());
    m_settings->sync();
}

bool TWindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    // Saved on every close request, answered or not: a window kept open is
    // saved again when it does close.
    if (watched == m_window && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}
