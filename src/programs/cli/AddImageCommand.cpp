// corvane-cli add-image: imports picture files into a project's backgrounds,
// logos or information screens with the rules and status texts of a drop on
// the Images page, and saves the project.

#include "CliCommand.h"
#include "CliProject.h"

#include "core/imaging/ImageImport.h"
#include "core/messaging/UntrustedText.h"
#include "core/storage/DiskIO.h"
#include "core/storage/ProjectFileLock.h"

#include <limits>
#include <map>

namespace {

// A file's name may hold line breaks, escape bytes and direction marks; an
// image name is shown in the window, in listings and in messages, so such a
// character becomes "_" in the name the image gets.
QString nameWithoutControls(QString name)
{
    for (QChar& c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029 || (u >= 0x200E && u <= 0x200F)
            || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0xFEFF)
            c = QLatin1Char('_');
    }
    return name;
}

// Two images of one group with the same name cannot be told apart (by the
// window, by diff, by the appearance page's choice): a second one is numbered.
QString freeName(const THandle_object& handle, const QString& name)
{
    auto taken = [&handle](const QString& candidate) {
        for (const auto& cell : handle.cells) {
            if (cell->name == candidate)
                return true;
        }
        return false;
    };
    QString candidate = name;
    for (int n = 2; taken(candidate); ++n)
        candidate = QStringLiteral("%1_%2").arg(name).arg(n);
    return candidate;
}

const std::map<QString, int>& handleNames()
{
    static const std::map<QString, int> kNames{
        {QStringLiteral("backgrounds"), kBackgroundsIdx},
        {QStringLiteral("logos"), kLogosIdx},
        {QStringLiteral("info-screens"), kInfoScreensIdx},
    };
    return kNames;
}

int runAddImage(const QStringList& args)
{
    CommandLine cl
        = cliCommandLine("add-image",
                         "Each file stands alone, in the order given: those that pass are added even when others\n"
                         "are refused, and the project is saved when at least one was added. One line per file\n"
                         "gives its status (as the activity log words it) and its path. An image is named after its\n"
                         "file (control characters made _); a name the group has already is numbered (NAME_2), and\n"
                         "the line says so. Exit status 0 when every\n"
                         "file was added, 1 when any was refused or the project could not be read or saved.");
    cl.addPositional("PROJECT", "The project file (.cvp) to add to.");
    cl.addPositional("FILE", "BMP, PNG, JPEG or GIF files of the handle's exact size.", "FILE...");
    cl.addOption({"handle", "The images' handle: backgrounds, logos or info-screens (required).", "HANDLE"});
    if (const auto status = cl.parse(args, 2, std::numeric_limits<int>::max()))
        return *status;
    if (!cl.isSet("handle"))
        return cl.usageError(QStringLiteral("missing --handle backgrounds|logos|info-screens"));
    const auto handle = handleNames().find(cl.value("handle"));
    if (handle == handleNames().end())
        return cl.usageError(
            QStringLiteral("--handle %1: use backgrounds, logos or info-screens").arg(cl.value("handle")));

    const QStringList positional = cl.positional();
    const QString project = positional.first();
    // Held from the read to the write: another program's change made in
    // between would otherwise be overwritten by ours.
    ProjectFileLock lock;
    QString error;
    if (!lock.acquire(project, ProjectFileLock::kDefaultWaitMs, &error))
        return cliFail(error);
    TDevice_Config_v2 rec{};
    THandleList list;
    if (!cliLoadProject(project, rec, list, &error))
        return cliFail(error);
    if (list.size() != size_t(kHandleCount))
        return cliFail(QStringLiteral("%1: the project has %2 image groups, not the %3 this command knows.")
                           .arg(project)
                           .arg(list.size())
                           .arg(int(kHandleCount)));

    int added = 0;
    int refused = 0;
    // Printed once the project is saved: an addition is only real then.
    QStringList lines;
    for (const QString& file : positional.mid(1)) {
        const TImportTarget target = TImportTarget::of(list, handle->second);
        TImportResult result;
        QString reason;
        QString renamed;
        if (list[size_t(handle->second)]->cells.size() > size_t(kMaxImagesPerHandle - 1)) {
            result.status = kImageListFull;
        } else {
            TPreparedImage prepared = prepareImport(file, target);
            reason = prepared.reason;
            const QString clean = nameWithoutControls(prepared.name);
            prepared.name = freeName(*list[size_t(handle->second)], clean);
            if (prepared.name != clean)
                renamed = QStringLiteral("; %1 was taken in this group, so it is named %2")
                              .arg(untrustedText(clean), untrustedText(prepared.name));
            result = applyImport(list, target, std::move(prepared));
        }
        QString line = QStringLiteral("%1: %2").arg(importStatusText(result.status),
                                                    untrustedText(file, std::numeric_limits<int>::max()));
        if (result.cell) {
            ++added;
            line += QStringLiteral(" (%1->%2, %3 bytes%4)")
                        .arg(untrustedText(list[size_t(handle->second)]->name), untrustedText(result.cell->name))
                        .arg(result.cell->imageSize)
                        .arg(renamed);
        } else {
            ++refused;
            if (!reason.isEmpty())
                line += QStringLiteral(" (%1)").arg(untrustedText(reason, std::numeric_limits<int>::max()));
        }
        lines << line;
    }

    if (added > 0 && !cliSaveProject(project, rec, list, &error)) {
        if (!error.endsWith(QLatin1Char('.')))
            error += QLatin1Char('.');
        return cliFail(QStringLiteral("%1 No picture was added; the project was left as it was.").arg(error));
    }
    for (const QString& line : lines)
        cliOut(line);
    cliOut(QStringLiteral("%1 added, %2 refused; storage %3 of %4 bytes")
               .arg(added)
               .arg(refused)
               .arg(projectStorageUsed(list))
               .arg(kImageStoreBytes));
    return refused == 0 ? 0
                        : cliFail(QStringLiteral("%1 of %2 files were not added").arg(refused).arg(added + refused));
}

const CliRegistration kAddImageCommand{{"add-image", "PROJECT --handle backgrounds|logos|info-screens FILE...",
                                        "import pictures into a project's backgrounds, logos or information screens",
                                        runAddImage}};

} // namespace
