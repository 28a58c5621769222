#pragma once

#include <QString>
#include <QStringList>

// What the operating system does for the file writers; each system's folder under
// src/platform/ provides it. Failures come back as the system's own reason.
namespace zelp::os {

QString reasonOf(int code);
// A new, empty file made exclusively for writing: its descriptor, or -1 with errno set.
int createExclusive(const QString &path);
bool processIsGone(qint64 pid);
// Empty when the file at path is on the disk, else why not.
QString flushFile(const QString &path);
// One flush for each file system that holds one of files; false when one reported an error,
// which leaves the caller to find the files it concerns.
bool flushFileSystemsOf(const QStringList &files);
// After renames in it; a folder that cannot be flushed changes nothing.
void flushFolder(const QString &folder);
// Renames from onto to, replacing to in one step: empty, or why not.
QString renameOver(const QString &from, const QString &to);

} // namespace zelp::os
