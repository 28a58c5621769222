#include "compoundfile.h"

#include "common/debuglog.h"
#include "common/errhndlr.h"

#include <QFileInfo>
#include <QUuid>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace zelp {

namespace {

struct GObjectUnref {
    void operator()(void *object) const {
        if (object) {
            g_object_unref(object);
        }
    }
};
template <typename T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorHolder {
    GError *error = nullptr;
    ~GErrorHolder() {
        if (error) {
            g_error_free(error);
        }
    }
    QString text(const char *fallback) const {
        return error && error->message ? QString::fromUtf8(error->message)
                                       : QString::fromUtf8(fallback);
    }
};

// The library's own complaints about damaged files go to the debug log: the user is told
// once, by the caller, in the program's words.
void toDebugLog(const gchar *domain, GLogLevelFlags level, const gchar *message, gpointer) {
    if (level & (G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_INFO)) {
        return;
    }
    QuietErrors quiet;
    quiet.step([&] {
        DebugLog(std::string(domain ? domain : "GLib") + ":\t" + (message ? message : ""));
    });
}

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_log_set_default_handler(toDebugLog, nullptr);
        gsf_init();
    });
}

template <typename T> std::optional<T> failed(QString *error, const QString &why) {
    if (error) {
        *error = why;
    }
    return std::nullopt;
}

GPtr<GsfInfile> openCompound(const QString &path, QString *error) {
    initLibrary();
    const QFileInfo info(path);
    if (!info.exists()) {
        failed<int>(error, QStringLiteral("the file does not exist"));
        return nullptr;
    }
    if (!info.isFile()) {
        failed<int>(error, QStringLiteral("it is not a regular file"));
        return nullptr;
    }
    GErrorHolder err;
    GPtr<GsfInput> input(gsf_input_stdio_new(QFile::encodeName(path).constData(), &err.error));
    if (!input) {
        failed<int>(error, err.text("it cannot be read"));
        return nullptr;
    }
    GErrorHolder oleErr;
    GPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &oleErr.error));
    if (!ole) {
        failed<int>(
            error,
            QStringLiteral("it is not a compound file (%1)").arg(oleErr.text("unreadable header")));
        return nullptr;
    }
    return ole;
}

std::optional<ClassIdBytes> classIdOf(GsfInfile *ole, QString *error) {
    ClassIdBytes id{};
    if (!gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(ole), id.data())) {
        return failed<ClassIdBytes>(error, QStringLiteral("its root has no class identifier"));
    }
    return id;
}

// A storage's entries: each name at most once, as a writer can give them.
bool nameTaken(const CompoundContent &content, const char *name) {
    if (content.stream(name)) {
        return true;
    }
    for (const CompoundStorage &storage : content.storages) {
        if (storage.name == name) {
            return true;
        }
    }
    return false;
}

bool refuse(QString *error, const QString &why) {
    failed<int>(error, why);
    return false;
}

bool readStorage(GsfInfile *dir, CompoundContent &content, int depth, uint64_t &total,
                 QString *error) {
    const auto damaged = [error] {
        return refuse(error, QStringLiteral("its directory is damaged"));
    };
    const auto id = classIdOf(dir, error);
    if (!id) {
        return false;
    }
    content.classId = *id;
    const int count = gsf_infile_num_children(dir);
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(dir, i);
        GPtr<GsfInput> child(gsf_infile_child_by_index(dir, i));
        if (!child || !name) {
            return damaged();
        }
        // Names no writer can give are a damaged directory, and so is a name given twice.
        const qsizetype units = QString::fromUtf8(name).size();
        if (units == 0 || units > 31 || nameTaken(content, name)) {
            return damaged();
        }
        if (GSF_IS_INFILE_MSOLE(child.get()) &&
            gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
            if (depth + 1 >= CompoundFile::kMaxDepth) {
                return damaged();
            }
            CompoundStorage storage{name, {}};
            if (!readStorage(GSF_INFILE(child.get()), storage.content, depth + 1, total, error)) {
                return false;
            }
            content.storages.push_back(std::move(storage));
            continue;
        }
        const gsf_off_t size = gsf_input_size(child.get());
        total += uint64_t(std::max<gsf_off_t>(size, 0));
        if (size < 0 || uint64_t(size) > CompoundFile::kMaxStreamBytes ||
            total > 4 * CompoundFile::kMaxStreamBytes) {
            return refuse(
                error,
                QStringLiteral("its stream \"%1\" is too large").arg(QString::fromUtf8(name)));
        }
        std::string bytes(size_t(size), '\0');
        if (size > 0 &&
            !gsf_input_read(child.get(), size_t(size), reinterpret_cast<guint8 *>(bytes.data()))) {
            return refuse(
                error,
                QStringLiteral("its stream \"%1\" is truncated").arg(QString::fromUtf8(name)));
        }
        content.streams.emplace_back(name, std::move(bytes));
    }
    return true;
}

// The first name, all the way down, that a directory entry cannot hold (31 UTF-16 units and
// a terminator); nullptr when every name fits.
const std::string *badName(const CompoundContent &content) {
    const auto bad = [](const std::string &name) {
        return name.empty() || QString::fromUtf8(name).size() > 31;
    };
    for (const auto &[name, bytes] : content.streams) {
        if (bad(name)) {
            return &name;
        }
    }
    for (const CompoundStorage &storage : content.storages) {
        if (bad(storage.name)) {
            return &storage.name;
        }
        if (const std::string *inner = badName(storage.content)) {
            return inner;
        }
    }
    return nullptr;
}

// One stream at a time: each is closed before the next is opened, and a storage is written
// whole before the next entry.
bool writeStorage(GsfOutfile *out, const CompoundContent &content) {
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(out), content.classId.data());
    for (const auto &[name, bytes] : content.streams) {
        GPtr<GsfOutput> child(gsf_outfile_new_child(out, name.c_str(), FALSE));
        if (!child) {
            return false;
        }
        const bool written =
            bytes.empty() || gsf_output_write(child.get(), bytes.size(),
                                              reinterpret_cast<const guint8 *>(bytes.data()));
        const bool closed = gsf_output_close(child.get());
        if (!written || !closed) {
            return false;
        }
    }
    for (const CompoundStorage &storage : content.storages) {
        GPtr<GsfOutput> child(gsf_outfile_new_child(out, storage.name.c_str(), TRUE));
        if (!child) {
            return false;
        }
        const bool written = writeStorage(GSF_OUTFILE(child.get()), storage.content);
        const bool closed = gsf_output_close(child.get());
        if (!written || !closed) {
            return false;
        }
    }
    return true;
}

} // namespace

CompoundContent::CompoundContent() = default;

CompoundContent::CompoundContent(const ClassIdBytes &id,
                                 std::vector<std::pair<std::string, std::string>> s,
                                 std::vector<CompoundStorage> inner)
    : classId(id), streams(std::move(s)), storages(std::move(inner)) {}

const std::string *CompoundContent::stream(const std::string &name) const {
    for (const auto &[streamName, bytes] : streams) {
        if (streamName == name) {
            return &bytes;
        }
    }
    return nullptr;
}

QString classIdText(const ClassIdBytes &b) {
    const auto le32 =
        uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    const QUuid uuid(le32, ushort(b[4] | b[5] << 8), ushort(b[6] | b[7] << 8), b[8], b[9], b[10],
                     b[11], b[12], b[13], b[14], b[15]);
    return uuid.toString(QUuid::WithBraces).toUpper();
}

std::optional<ClassIdBytes> classIdFromText(const QString &text) {
    QString t = text.trimmed();
    if (!t.startsWith(u'{')) {
        t = u'{' + t + u'}';
    }
    const QUuid uuid = QUuid::fromString(t);
    if (uuid.isNull() && t.compare(QUuid().toString(), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    ClassIdBytes b{};
    for (int i = 0; i < 4; ++i) {
        b[i] = uint8_t(uuid.data1 >> (8 * i));
    }
    b[4] = uint8_t(uuid.data2);
    b[5] = uint8_t(uuid.data2 >> 8);
    b[6] = uint8_t(uuid.data3);
    b[7] = uint8_t(uuid.data3 >> 8);
    for (int i = 0; i < 8; ++i) {
        b[8 + i] = uuid.data4[i];
    }
    return b;
}

namespace CompoundFile {

std::optional<ClassIdBytes> readRootClassId(const QString &path, QString *error) {
    GPtr<GsfInfile> ole = openCompound(path, error);
    if (!ole) {
        return std::nullopt;
    }
    return classIdOf(ole.get(), error);
}

std::optional<CompoundContent> read(const QString &path, QString *error) {
    GPtr<GsfInfile> ole = openCompound(path, error);
    if (!ole) {
        return std::nullopt;
    }
    CompoundContent content;
    uint64_t total = 0;
    if (!readStorage(ole.get(), content, 0, total, error)) {
        return std::nullopt;
    }
    return content;
}

std::optional<std::string> build(const CompoundContent &content, QString *error) {
    initLibrary();
    if (const std::string *bad = badName(content)) {
        return failed<std::string>(
            error, QStringLiteral("bad stream name \"%1\"").arg(QString::fromUtf8(*bad)));
    }
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfOutfile> ole(gsf_outfile_msole_new(sink.get()));
    if (!sink || !ole) {
        return failed<std::string>(error, QStringLiteral("unable to create a compound file"));
    }
    const bool ok = writeStorage(ole.get(), content);
    const bool rootClosed = gsf_output_close(GSF_OUTPUT(ole.get()));
    if (!ok || !rootClosed) {
        return failed<std::string>(error, QStringLiteral("unable to write the compound file"));
    }
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8 *data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    std::string bytes = (data && size > 0)
                            ? std::string(reinterpret_cast<const char *>(data), size_t(size))
                            : std::string();
    if (!gsf_output_is_closed(sink.get())) {
        gsf_output_close(sink.get());
    }
    if (bytes.empty()) {
        return failed<std::string>(error, QStringLiteral("unable to write the compound file"));
    }
    return bytes;
}

} // namespace CompoundFile

} // namespace zelp
