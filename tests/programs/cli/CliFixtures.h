#pragma once
// Small projects and files for the command-line tests, written with the
// project's own writer.

#include "ProjectFixtures.h"
#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>
#include <QString>

QImage fixturePicture(int width, int height, int seed);

// A new project's record and handles; with images, one logo (and its
// thumbnail) and one background (and its thumbnail).
struct FixtureProject {
    TDevice_Config_v2 rec{};
    THandleList handles;
    explicit FixtureProject(bool withImages = false);
    void save(const QString& path) const;
};

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
