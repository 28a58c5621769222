#pragma once

#include <QFile>
#include <QString>

#include <sys/types.h>

struct stat;

// What the writers of this folder share.
namespace zelp {

inline QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}
// Sets *error, where the caller wants it, and gives false.
inline bool fail(QString *error, const QString &why) {
    if (error) {
        *error = why;
    }
    return false;
}
inline bool isWriteProtected(mode_t mode) {
    return (mode & 0222) == 0;
}
// Why an existing file may be replaced by no writer (not a regular file, write-protected even
// where the caller could override it); empty when it may.
QString refusalFor(const struct stat &existing);
// Gives the file open as fd the mode and, where the caller may, the owner of the file it
// replaces; false when the mode could not be set.
bool keepModeOf(int fd, const struct stat &replaced);

} // namespace zelp
