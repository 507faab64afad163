#pragma once
// How the main window shares its space: a command button in the menu bar's
// corner, and the activity log's height before the user moves the splitter.

#include <QSize>

class QMenuBar;
class QPushButton;
class QWidget;
class TActivityLogPanel;

// Puts button at the right end of the menu bar, sized to the bar's text.
void placeCornerButton(QMenuBar* bar, QPushButton* button);

// Room for the log's title, its header and a few entries; the project area
// takes the rest of the window.
int defaultLogHeight(const TActivityLogPanel* log);

// The room the screen of window leaves for it, less the desktop's frame;
// unbounded when the window is on no screen yet.
QSize screenRoom(const QWidget* window);
