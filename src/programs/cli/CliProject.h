#pragma once
// Reading a project file for a command, with the same one-line message from
// every command that reads one.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QString>

// False with a one-line error naming the file when it cannot be read.
bool cliLoadProject(const QString& path, TDevice_Config_v2& rec, THandleList& handles, QString* error);

// Writes the project through the command line's output files (a temporary
// renamed over the file); false with a one-line error naming the file.
bool cliSaveProject(const QString& path, const TDevice_Config_v2& rec, const THandleList& handles, QString* error);

// Why a project could not be written at path (its folder is missing or
// read-only, the file is read-only), or empty: checked before work that a
// failed save would waste, such as a retrieve from a controller.
QString cliProjectUnwritable(const QString& path);

// New projects are always bound to a ".cvp" name, whatever extension was
// typed: the last extension of the file name (its dot included, so "site."
// too) is replaced; a dot in a folder name is not an extension. Every
// command that creates a project names it so.
QString cliNewProjectPath(const QString& path);
