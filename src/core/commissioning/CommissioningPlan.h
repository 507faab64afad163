#pragma once
// What one commissioning run sends, decided once before any port is opened:
// the project read once (its bytes hashed), its record and its image data
// block built and checked. Every controller of the run gets these very
// bytes, however the project file changes while the run goes on. The plan
// reaches the workers as one private file the parent writes once.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QString>

struct TCommissioningPlan {
    QString project;       // absolute path, for the record
    QString projectSha256; // of the bytes read
    TDevice_Config_v2 record{};
    QByteArray imageBlock; // empty when images are not sent
    bool sendConfig = true;
    bool sendImages = true;
};

// Builds the image data block and checks it fits the controller; false with
// a line naming the picture and the reason when it cannot be sent.
bool buildCheckedImageBlock(const THandleList& handles, QByteArray& block, QString* error);

// Reads PROJECT once and checks everything an upload would send (service
// text lines, every picture, the block's size). False with one line in
// *error when something would be refused: then nothing may be sent.
bool prepareCommissioningPlan(const QString& projectPath, TCommissioningPlan& plan, QString* error);

// The plan as the workers read it; the record and the block only.
QByteArray planFileBytes(const TCommissioningPlan& plan);
// False when the bytes are not a plan (a damaged or foreign file).
bool readPlanFileBytes(const QByteArray& bytes, TDevice_Config_v2& record, QByteArray& imageBlock);
