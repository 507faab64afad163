#pragma once
// The fuzz targets: each takes untrusted bytes through one of the program's
// input paths and returns one line saying how the input ended ("accepted
// ..." or the refusal the program gives). libFuzzer calls them through
// FuzzMain.cpp; the replay test calls the same functions on the seed corpus
// and on past findings.

#include <QString>

#include <cstddef>
#include <cstdint>

// A project file: read, then the image data block built as an upload would.
QString fuzzProjectFile(const uint8_t* data, size_t size);
// A picture file: loaded for a preview and for import into a new project,
// then converted and its stored size estimated as both would.
QString fuzzPicture(const uint8_t* data, size_t size);
// Bytes arriving from a controller: the receive conditions of each
// transaction kind, the read reply's checks, and the virtual controller's
// frame assembly of the other direction.
QString fuzzReply(const uint8_t* data, size_t size);
// A configuration block read from a controller: validation and conversion.
QString fuzzConfiguration(const uint8_t* data, size_t size);
// Bytes from the system as the virtual controller receives them: its frame
// assembly, read by read and byte by byte, with its refusals and quiet lines.
QString fuzzFrames(const uint8_t* data, size_t size);
// A commissioning log file: read, and every record read written again.
QString fuzzCommissioningLog(const uint8_t* data, size_t size);
// A site sheet: read and checked, and every row applied to a record.
QString fuzzSiteSheet(const uint8_t* data, size_t size);

// Qt's and the codecs' own warnings are not findings; keeps them off stderr.
void fuzzQuietQtMessages();
