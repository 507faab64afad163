#include "core/commissioning/CommissioningPlan.h"

#include "core/device/DeviceOperationResult.h"
#include "core/device/DeviceTexts.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImagingError.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {
constexpr char kMagic[8] = {'C', 'V', 'P', 'L', 'A', 'N', '1', '\n'};
} // namespace

bool buildCheckedImageBlock(const THandleList& handles, QByteArray& block, QString* error)
{
    block.clear();
    try {
        Build_Image_Data(block, handles);
    } catch (const ImagingError& e) {
        *error = e.message();
        return false;
    }
    if (block.size() > kImageStoreBytes) {
        *error = QStringLiteral("the image data block would be %1 bytes, larger than the controller's image store "
                                "of %2 bytes")
                     .arg(block.size())
                     .arg(kImageStoreBytes);
        block.clear();
        return false;
    }
    return true;
}

bool prepareCommissioningPlan(const QString& projectPath, TCommissioningPlan& plan, QString* error)
{
    plan.project = QFileInfo(projectPath).absoluteFilePath();
    QFile file(projectPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(projectPath, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    plan.projectSha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    TDevice_Config_v2 record = newProjectConfig();
    THandleList handles;
    try {
        if (!loadProjectBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), record, handles)) {
            *error = QStringLiteral("%1: not a project file this program can read").arg(projectPath);
            return false;
        }
    } catch (const ProjectFileError& e) {
        *error = e.message();
        return false;
    }
    if (plan.sendConfig && serviceTextLineCount(readServiceText(record)) > kServiceTextMaxLines) {
        *error = QStringLiteral("%1: %2").arg(projectPath, oneLine(DeviceText::tooManyLines()));
        return false;
    }
    plan.record = record;
    plan.imageBlock.clear();
    if (plan.sendImages) {
        QString why;
        if (!buildCheckedImageBlock(handles, plan.imageBlock, &why)) {
            *error = QStringLiteral("%1: %2 Nothing was sent.").arg(projectPath, why);
            return false;
        }
    }
    return true;
}

QByteArray planFileBytes(const TCommissioningPlan& plan)
{
    QByteArray bytes(kMagic, sizeof kMagic);
    bytes.append(reinterpret_cast<const char*>(&plan.record), sizeof plan.record);
    bytes.append(plan.imageBlock);
    return bytes;
}

bool readPlanFileBytes(const QByteArray& bytes, TDevice_Config_v2& record, QByteArray& imageBlock)
{
    const qsizetype head = qsizetype(sizeof kMagic + sizeof record);
    if (bytes.size() < head || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return false;
    std::memcpy(&record, bytes.constData() + sizeof kMagic, sizeof record);
    imageBlock = bytes.mid(head);
    return true;
}
