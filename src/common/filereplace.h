#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace zelp {

// Puts size bytes into an open file descriptor; false with errno set on any failure.
using FileFiller = std::function<bool(int fd)>;

// Replaces the file at path by size bytes that fill writes. The bytes go into a fresh file in
// the same folder, which is synced and renamed over the target, so that the target is either
// the complete new file or byte for byte the old one; a target that exists keeps its mode and
// owner. A link, or a chain of them, is written through. Only in a folder where no new file
// can be made is an existing file rewritten in place: its space is reserved first, so that a
// full disk fails before a byte changes, but a later failure may leave it damaged, and the
// error says so. False with *error set to the system's reason when the file was not replaced;
// no fresh file is left behind.
bool replaceFile(const QString &path, int64_t size, const FileFiller &fill, QString *error);

// The file a path ends at once every link on the way is followed (at most 40 of them).
QString finalTarget(const QString &path);

// Writes all bytes to fd, going on after interrupted and partial writes.
bool writeAllBytes(int fd, const char *data, int64_t size);

} // namespace zelp
