#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace zelp {

// Puts size bytes into an open file descriptor; false with errno set on any failure.
using FileFiller = std::function<bool(int fd)>;

// Replaces the file at path by size bytes that fill writes, so that it is either the complete
// new file or byte for byte the old one. The bytes go into a fresh file in the same folder,
// which is synced and renamed over the target; a target that exists keeps its mode and owner.
// A link, or a chain of them, is written through. In a folder where no new file can be made an
// existing file is rewritten in place, with its space reserved first so that a full disk fails
// before a byte of it changes. False with *error set to the system's reason when the file was not
// replaced: then no fresh file is left behind.
bool replaceFile(const QString &path, int64_t size, const FileFiller &fill, QString *error);

// The file a path ends at once every link on the way is followed (at most 40 of them).
QString finalTarget(const QString &path);

// Writes all bytes to fd, going on after interrupted and partial writes.
bool writeAllBytes(int fd, const char *data, int64_t size);

} // namespace zelp
