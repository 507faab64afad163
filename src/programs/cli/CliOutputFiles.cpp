#include "CliOutputFiles.h"

#include <QSaveFile>

#include <memory>

bool CliOutputFiles::commit(QString* error)
{
    std::vector<std::unique_ptr<QSaveFile>> staged;
    for (const auto& [path, bytes] : m_files) {
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size()) {
            *error = QStringLiteral("%1: %2").arg(path, file->errorString());
            return false; // the staged temporaries are removed with their QSaveFile
        }
        staged.push_back(std::move(file));
    }
    for (auto& file : staged) {
        if (!file->commit()) {
            *error = QStringLiteral("%1: %2").arg(file->fileName(), file->errorString());
            return false;
        }
    }
    return true;
}
