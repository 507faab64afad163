#pragma once
// Project files dragged from a file manager: the window opens one, the image
// view leaves a drag of nothing but project files to the window.

#include <QString>

class QMimeData;

// A name ending in .cvp or .bdp, in any case.
bool Is_Project_File_Name(const QString& path);
// The first local project file the drag carries, or an empty string.
QString Dropped_Project_File(const QMimeData* mime);
// The drag carries local files and every one of them is a project file.
bool Only_Project_Files(const QMimeData* mime);
