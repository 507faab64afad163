#include "ui/app/TProjectStatusBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QResizeEvent>

namespace {
int scaled(const QWidget* w, int pixels)
{
    return pixels * w->logicalDpiX() / 96;
}
} // namespace

TProjectStatusBar::TProjectStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("project_StatusBar"));
    setSizeGripEnabled(true);
    const char* names[3] = {"path_StatusPanel", "modified_StatusPanel", "spare_StatusPanel"};
    const int widths[3] = {500, 30, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QString::fromLatin1(names[i]));
        m_panels[i]->setFixedWidth(scaled(this, widths[i]));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        addWidget(m_panels[i]);
    }
    m_panels[1]->setAlignment(Qt::AlignCenter);
    showModified(false);
}

void TProjectStatusBar::Show_Project_Path(const QString& path)
{
    m_fullPath = path;
    m_panels[0]->setToolTip(path);
    refreshPath();
}

void TProjectStatusBar::showModified(bool modified)
{
    m_panels[1]->setText(modified ? QStringLiteral("M") : QStringLiteral(" "));
    m_panels[1]->setToolTip(modified ? QStringLiteral("Project has been modified") : QString());
}

void TProjectStatusBar::showNote(const QString& text)
{
    m_panels[2]->setText(text);
    m_panels[2]->setToolTip(text);
    // A note (the demo's port) must be readable; an empty panel keeps its width.
    const int needed = m_panels[2]->fontMetrics().horizontalAdvance(text) + scaled(this, 12);
    m_panels[2]->setFixedWidth(qMax(scaled(this, 50), needed));
}

void TProjectStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    m_panels[0]->setFixedWidth(qMax(1, contentsRect().width() / 2));
    refreshPath();
}

void TProjectStatusBar::refreshPath()
{
    QLabel* p = m_panels[0];
    const int room = p->contentsRect().width() - 2 * p->margin() - 4;
    p->setToolTip(m_fullPath);
    p->setText(shortenPath(m_fullPath, p->fontMetrics(), qMax(0, room)));
}

QString TProjectStatusBar::shortenPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    static const QRegularExpression kSeparator(QStringLiteral("[/\\\\]"));
    const QStringList parts = path.split(kSeparator);
    const QString sep = path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/')) ? QStringLiteral("\\")
                                                                                             : QStringLiteral("/");
    const QString ellipsis = QStringLiteral("...");
    // parts[0] is the root (a drive, or empty for an absolute POSIX path).
    for (int first = 2; first < parts.size(); ++first) {
        const QString candidate = parts.first() + sep + ellipsis + sep + parts.mid(first).join(sep);
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    const QString fileOnly = ellipsis + sep + parts.last();
    if (metrics.horizontalAdvance(fileOnly) <= width)
        return fileOnly;
    return metrics.elidedText(fileOnly, Qt::ElideRight, width);
}
