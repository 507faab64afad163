#pragma once
// What a project file on disk looked like when it was read or written: a
// save can tell that another program has written the file since.

#include <QString>

#include <cstdint>

struct ProjectFileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0; // each save renames a new file into place
    int64_t size = 0;
    int64_t modifiedNs = 0;

    static ProjectFileStamp of(const QString& path);
    bool operator==(const ProjectFileStamp&) const = default;
};
