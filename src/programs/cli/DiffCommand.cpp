// corvane-cli diff: what differs between two projects, field by field and
// image by image; installers compare what they retrieved with what they meant
// to upload. Exit status as diff's: 0 equal, 1 different, 2 trouble.
#include "CliCommand.h"
#include "CliProject.h"
#include "CliProjectJson.h"

#include "core/messaging/UntrustedText.h"

#include <QJsonDocument>

#include <algorithm>
#include <limits>

namespace {

struct Difference {
    QString kind;   // "record", "handle", "image"
    QString handle; // handle name (handle and image kinds)
    int position = -1;
    QString image;  // image name (image kind)
    QString change; // image: "added", "removed", "content", "moved", "field"; handle: "added", "removed", "field"
    QString field;  // path of the field inside its record, handle or image
    QJsonValue a;
    QJsonValue b;
};

QString shown(const QJsonValue& v)
{
    // JSON escapes the control characters; direction marks and the like
    // are left to the one helper.
    if (v.isString())
        return untrustedText(
            QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)).mid(1).chopped(1),
            std::numeric_limits<int>::max());
    if (v.isArray())
        return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    if (v.isObject())
        return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("(none)");
    return QString::number(v.toDouble(), 'g', 17);
}

// Walks two values side by side and calls found(path, a, b) for each leaf
// that differs; arrays of bytes are compared whole, so a flag array is one
// difference, not five.
template <typename Found> void compare(const QString& path, const QJsonValue& a, const QJsonValue& b, Found&& found)
{
    if (a == b)
        return;
    if (a.isObject() && b.isObject()) {
        const QJsonObject oa = a.toObject(), ob = b.toObject();
        QStringList keys = oa.keys() + ob.keys();
        keys.removeDuplicates();
        std::sort(keys.begin(), keys.end());
        for (const QString& key : keys)
            compare(path.isEmpty() ? key : path + QLatin1Char('.') + key, oa.value(key), ob.value(key), found);
        return;
    }
    if (a.isArray() && b.isArray() && a.toArray().size() == b.toArray().size()
        && (a.toArray().isEmpty() || a.toArray().first().isObject())) {
        const QJsonArray xa = a.toArray(), xb = b.toArray();
        for (qsizetype i = 0; i < xa.size(); ++i)
            compare(QStringLiteral("%1[%2]").arg(path).arg(i), xa[i], xb[i], found);
        return;
    }
    found(path, a, b);
}

void diffRecords(const QJsonObject& a, const QJsonObject& b, bool raw, std::vector<Difference>& out)
{
    // The text's bytes after its terminating zero count only when the text
    // itself is the same.
    QJsonObject ra = a, rb = b;
    if (ra["service_info_text"] != rb["service_info_text"]) {
        ra.remove("service_info_text_bytes");
        rb.remove("service_info_text_bytes");
    }
    // The stored checksum follows from the fields (a controller's block has a
    // fresh one, a saved project the one of its last upload or retrieve):
    // by itself it is no difference in what the controller would do.
    if (!raw) {
        ra.remove("checksum");
        rb.remove("checksum");
    }
    compare(QString(), ra, rb, [&](const QString& path, const QJsonValue& x, const QJsonValue& y) {
        out.push_back({"record", {}, -1, {}, "field", path, x, y});
    });
}

void diffImages(const QJsonObject& ha, const QJsonObject& hb, int position, std::vector<Difference>& out)
{
    const QString handle = ha["name"].toString();
    const QJsonArray ca = ha["cells"].toArray(), cb = hb["cells"].toArray();
    std::vector<bool> takenB(size_t(cb.size()), false);
    for (qsizetype i = 0; i < ca.size(); ++i) {
        const QJsonObject x = ca[i].toObject();
        const QString name = x["name"].toString();
        qsizetype j = 0;
        while (j < cb.size() && (takenB[size_t(j)] || cb[j].toObject()["name"].toString() != name))
            ++j;
        if (j == cb.size()) {
            out.push_back({"image", handle, position, name, "removed", {}, qint64(i), {}});
            continue;
        }
        takenB[size_t(j)] = true;
        const QJsonObject y = cb[j].toObject();
        if (i != j)
            out.push_back({"image", handle, position, name, "moved", "position", qint64(i), qint64(j)});
        if (x["image_data_sha256"] != y["image_data_sha256"])
            out.push_back({"image", handle, position, name, "content", "image_data_sha256", x["image_data_sha256"],
                           y["image_data_sha256"]});
        QJsonObject fx = x, fy = y;
        for (const char* key : {"name", "image_data_sha256", "image_data_length"}) {
            fx.remove(key);
            fy.remove(key);
        }
        compare(QString(), fx, fy, [&](const QString& path, const QJsonValue& p, const QJsonValue& q) {
            out.push_back({"image", handle, position, name, "field", path, p, q});
        });
    }
    for (qsizetype j = 0; j < cb.size(); ++j) {
        if (!takenB[size_t(j)])
            out.push_back({"image", handle, position, cb[j].toObject()["name"].toString(), "added", {}, {}, qint64(j)});
    }
}

void diffHandles(const QJsonArray& a, const QJsonArray& b, std::vector<Difference>& out)
{
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= b.size()) {
            out.push_back({"handle", a[i].toObject()["name"].toString(), int(i), {}, "removed", {}, {}, {}});
            continue;
        }
        if (i >= a.size()) {
            out.push_back({"handle", b[i].toObject()["name"].toString(), int(i), {}, "added", {}, {}, {}});
            continue;
        }
        QJsonObject ha = a[i].toObject(), hb = b[i].toObject();
        const QString name = ha["name"].toString();
        QJsonObject sa = ha, sb = hb;
        sa.remove("cells");
        sb.remove("cells");
        compare(QString(), sa, sb, [&](const QString& path, const QJsonValue& x, const QJsonValue& y) {
            out.push_back({"handle", name, int(i), {}, "field", path, x, y});
        });
        diffImages(ha, hb, int(i), out);
    }
}

QString textLine(const Difference& d)
{
    // Group and image names come from the files: one visible line each.
    const QString handle = untrustedText(d.handle);
    if (d.kind == "record")
        return QStringLiteral("configuration.%1: %2 -> %3").arg(d.field, shown(d.a), shown(d.b));
    if (d.kind == "handle") {
        if (d.change != "field")
            return QStringLiteral("handle %1 (position %2): %3").arg(handle).arg(d.position).arg(d.change);
        return QStringLiteral("handle %1: %2: %3 -> %4").arg(handle, d.field, shown(d.a), shown(d.b));
    }
    const QString image = QStringLiteral("image %1/%2").arg(handle, untrustedText(d.image));
    if (d.change == "added" || d.change == "removed")
        return QStringLiteral("%1: %2").arg(image, d.change);
    if (d.change == "moved")
        return QStringLiteral("%1: moved from position %2 to %3").arg(image, shown(d.a), shown(d.b));
    if (d.change == "content")
        return QStringLiteral("%1: picture changed (SHA-256 %2 -> %3)")
            .arg(image, d.a.toString().left(12), d.b.toString().left(12));
    return QStringLiteral("%1: %2: %3 -> %4").arg(image, d.field, shown(d.a), shown(d.b));
}

QJsonObject jsonEntry(const Difference& d)
{
    QJsonObject o;
    o["kind"] = d.kind;
    o["change"] = d.change;
    if (!d.handle.isEmpty() || d.kind != "record") {
        o["handle"] = d.handle;
        o["position"] = d.position;
    }
    if (d.kind == "image")
        o["image"] = d.image;
    if (!d.field.isEmpty())
        o["field"] = d.field;
    if (!d.a.isUndefined())
        o["a"] = d.a;
    if (!d.b.isUndefined())
        o["b"] = d.b;
    return o;
}

int runDiff(const QStringList& args)
{
    CommandLine cl = cliCommandLine(
        "diff",
        "Lists every field of the configuration record, every handle setting and every image (added,\n"
        "removed, moved, picture changed by content, setting changed) that differs. Images are matched\n"
        "by name within their handle. The record's stored checksum is left out (it follows from the\n"
        "fields); a note says when it alone differs. --raw compares it too.\n"
        "Exit status: 0 the projects are equal, 1 they differ, 2 usage error or a file cannot be read.");
    cl.addPositional("A", "The first project file.");
    cl.addPositional("B", "The second project file.");
    cl.addOption({"json", "Print the differences as one JSON object."});
    cl.addOption({"raw", "Compare the record's stored checksum as a field too."});
    if (const auto status = cl.parse(args, 2, 2))
        return *status;

    QJsonObject dumps[2];
    for (int k = 0; k < 2; ++k) {
        TDevice_Config_v2 rec{};
        THandleList handles;
        QString error;
        if (!cliLoadProject(cl.positional()[k], rec, handles, &error)) {
            cliFail(error);
            return kExitUsage; // "trouble", as diff reports it: 1 means "different"
        }
        QJsonArray hs;
        for (size_t i = 0; i < handles.size(); ++i)
            hs.append(cliHandleJson(*handles[i], int(i)));
        dumps[k]["configuration"] = cliRecordJson(rec);
        dumps[k]["handles"] = hs;
    }
    std::vector<Difference> differences;
    const QJsonObject recA = dumps[0]["configuration"].toObject(), recB = dumps[1]["configuration"].toObject();
    const bool raw = cl.isSet("raw");
    diffRecords(recA, recB, raw, differences);
    const bool checksumDiffers = recA["checksum"] != recB["checksum"];
    diffHandles(dumps[0]["handles"].toArray(), dumps[1]["handles"].toArray(), differences);

    if (cl.isSet("json")) {
        QJsonArray list;
        for (const Difference& d : differences)
            list.append(jsonEntry(d));
        QJsonObject root;
        root["a"] = cl.positional()[0];
        root["b"] = cl.positional()[1];
        root["equal"] = differences.empty();
        root["differences"] = list;
        root["stored_checksum_differs"] = checksumDiffers;
        cliOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        for (const Difference& d : differences)
            cliOut(textLine(d));
        if (!raw && checksumDiffers)
            cliOut(differences.empty()
                       ? QStringLiteral("Only the stored checksum of the configuration differs (--raw shows it).")
                       : QStringLiteral("The stored checksum of the configuration differs too (--raw shows it)."));
    }
    return differences.empty() ? kExitOk : 1; // as diff: 1 means "different", not "failed"
}

const CliRegistration kDiffCommand{{"diff", "A.cvp B.cvp [--json] [--raw]",
                                    "list what differs between two projects (exit 0 equal, 1 different)", runDiff}};

} // namespace
