#pragma once
// A checked site sheet handed to the commissioning workers: a private copy
// of its bytes and their SHA-256, never a cell on a command line. The
// worker (corvane-cli commission --worker) reads the copy, checks the hash and
// the sheet again, and applies its own row.

#include "core/commissioning/TSiteSheet.h"

#include <QString>
#include <QStringList>

// The worker's options (without the leading dashes); --site-only as the
// command's own option.
inline constexpr char kSiteCopyOption[] = "site-sheet-copy";
inline constexpr char kSiteShaOption[] = "site-sheet-sha256";
inline constexpr char kSiteNameOption[] = "site-sheet-name";
inline constexpr char kSiteOnlyOption[] = "site-only";

// Writes the sheet's bytes into folder and returns the workers' arguments
// for it; empty with *error when the copy cannot be written.
QStringList siteSheetWorkerArguments(const TSiteSheet& sheet, const QString& folder, bool only, QString* error);
