#pragma once
// Reading a project file for a command, with the same one-line message from
// every command that reads one.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QString>

// False with a one-line error naming the file when it cannot be read.
bool cliLoadProject(const QString& path, TDevice_Config_v2& rec, THandle_List& handles, QString* error);

// New projects are always bound to a ".cvp" name, whatever extension was
// typed: the last extension of the file name (its dot included, so "site."
// too) is replaced; a dot in a folder name is not an extension. Every
// command that creates a project names it so.
QString cliNewProjectPath(const QString& path);
