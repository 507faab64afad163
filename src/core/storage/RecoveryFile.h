#pragma once
// The recovery file: what an unsaved project looked like at its last change,
// kept in the user's data folder so that a crash or a power cut loses
// nothing. It is never written beside or over the project itself.
//
// Layout (little-endian, QDataStream version Qt 6.0):
//   8 bytes   "CVRECOV1"
//   QString   the project's path (where a save would write it)
//   QString   the project's name
//   qint64    time of the last change, milliseconds since 1970 UTC
//   qint64    process id of the configurator that wrote it
//   QByteArray  the project file's bytes, exactly as a save writes them

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct TRecoveryRecord {
    QString projectPath;
    QString projectName;
    QDateTime lastChange;
    qint64 pid = 0;
    QByteArray projectBytes;
};

QByteArray recoveryFileBytes(const TRecoveryRecord& record);
// Written through a temporary file renamed over the old one. Throws
// ProjectFileError.
void writeRecoveryFile(const QString& path, const TRecoveryRecord& record);
// The same with the project given as its record and images, written into the
// file as they are serialised, without the whole file in memory first.
void writeRecoveryFile(const QString& path, const TRecoveryRecord& header, const TDevice_Config_v2& rec,
                       const THandleList& list);
// Reads and checks a recovery file, the project inside it included. On
// failure returns false and says why in *error (one line).
bool readRecoveryFile(const QString& path, TRecoveryRecord& record, QString* error);
