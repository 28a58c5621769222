#include "rootclass.h"

#include <QFile>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <memory>

namespace zelp {

namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using GPtr = std::unique_ptr<T, Unref>;

// Identifiers are stored with their first three fields little-endian.
QUuid fromStoredBytes(const guint8 (&b)[16]) {
    const uint l = uint(b[0]) | uint(b[1]) << 8 | uint(b[2]) << 16 | uint(b[3]) << 24;
    const auto w1 = static_cast<ushort>(b[4] | b[5] << 8);
    const auto w2 = static_cast<ushort>(b[6] | b[7] << 8);
    return QUuid(l, w1, w2, b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
}

} // namespace

std::optional<QUuid> readRootClassId(const QString &path) {
    static const bool initialised = (gsf_init(), true);
    (void)initialised;
    GError *error = nullptr;
    GPtr<GsfInput> input(gsf_input_stdio_new(QFile::encodeName(path).constData(), &error));
    g_clear_error(&error);
    if (!input) {
        return std::nullopt;
    }
    GPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &error));
    g_clear_error(&error);
    if (!ole) {
        return std::nullopt;
    }
    guint8 stored[16] = {};
    if (!gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(ole.get()), stored)) {
        return std::nullopt;
    }
    return fromStoredBytes(stored);
}

} // namespace zelp
