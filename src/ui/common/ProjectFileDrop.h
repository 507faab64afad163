#pragma once
// Project files dragged from a file manager: the window opens one, the image
// view leaves a drag of nothing but project files to the window.

#include <QString>

class QMimeData;

// A name ending in .cvp or .bdp, in any case.
bool isProjectFileName(const QString& path);
// The first local project file the drag carries, or an empty string.
QString droppedProjectFile(const QMimeData* mime);
// The drag carries local files and every one of them is a project file.
bool onlyProjectFiles(const QMimeData* mime);
