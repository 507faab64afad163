#include "ui/app/TProjectStatusBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QResizeEvent>

namespace {
int Scaled(const QWidget* w, int pixels)
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
        panels[i] = new QLabel(this);
        panels[i]->setObjectName(QString::fromLatin1(names[i]));
        panels[i]->setFixedWidth(Scaled(this, widths[i]));
        panels[i]->setFrameShape(QFrame::StyledPanel);
        addWidget(panels[i]);
    }
    panels[1]->setAlignment(Qt::AlignCenter);
    Show_Modified(false);
}

void TProjectStatusBar::Show_Project_Path(const QString& path)
{
    fullPath = path;
    panels[0]->setToolTip(path);
    refreshPath();
}

void TProjectStatusBar::Show_Modified(bool modified)
{
    panels[1]->setText(modified ? QStringLiteral("M") : QStringLiteral(" "));
    panels[1]->setToolTip(modified ? QStringLiteral("Project has been modified") : QString());
}

void TProjectStatusBar::Show_Note(const QString& text)
{
    panels[2]->setText(text);
    panels[2]->setToolTip(text);
    // A note (the demo's port) must be readable; an empty panel keeps its width.
    const int needed = panels[2]->fontMetrics().horizontalAdvance(text) + Scaled(this, 12);
    panels[2]->setFixedWidth(qMax(Scaled(this, 50), needed));
}

void TProjectStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    panels[0]->setFixedWidth(qMax(1, contentsRect().width() / 2));
    refreshPath();
}

void TProjectStatusBar::refreshPath()
{
    QLabel* p = panels[0];
    const int room = p->contentsRect().width() - 2 * p->margin() - 4;
    p->setToolTip(fullPath);
    p->setText(Shorten_Path(fullPath, p->fontMetrics(), qMax(0, room)));
}

QString TProjectStatusBar::Shorten_Path(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    static const QRegularExpression separator(QStringLiteral("[/\\\\]"));
    const QStringList parts = path.split(separator);
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
