#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Path and file utilities. None of them raises or shows anything: failures end in an empty
// or false result that the caller tests.
namespace zelp {

// True for the characters that end a folder part of a path on this platform.
bool isPathSeparator(QChar c);
// The separator appended to folders ("/" here, "\" on Windows).
QChar folderSeparator();
// folder with one separator at its end.
QString withTrailingSeparator(const QString &folder);

// Folder part including its final separator; the start-up folder when the path has none.
QString FolderOf(const QString &path);
// What follows the last separator; without its last "." part unless keepExtension.
QString FileNameOf(const QString &path, bool keepExtension);
// True when a file or a folder of that name exists.
bool FileExists(const QString &path);
// The file's bytes; empty when it is empty, missing, unreadable or no regular file.
QByteArray ReadWholeFile(const QString &path);
// The whole file when it is a regular file of at most maxSize bytes; else nullopt and *reason
// says why. A device or a pipe is never read.
std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxSize, QString *reason);
// Replaces the file by content, byte for byte as given. Normally the complete new file takes
// the old one's place, so that a failure leaves the old one as it was; where no new file can be
// made beside it, the old file is rewritten in place and a failure may leave it damaged (see
// replaceFile). A write-protected file is not replaced. *error gets the system's reason on
// failure.
bool WriteWholeFile(const QString &path, const QByteArray &content, QString *error = nullptr);
// A write-protected file, which no writer replaces: nobody has write permission.
bool IsReadOnly(const QString &path);
// Lifts the protection for the file's owner, who may read and write it afterwards.
bool MakeWritable(const QString &path);
// folder + "Work<n>.ats" for the first n that is free, counting on across calls, made as an
// empty file so that no other program takes the name; empty when 999 tries find nothing (or
// the folder does not exist).
QString NewWorkFileName(const QString &folder);
// Moves source onto target, replacing it unless it is write-protected; across file systems the
// copy replaces the target as WriteWholeFile does. *error gets the reason on failure.
bool MoveFileOver(const QString &source, const QString &target, QString *error = nullptr);
// Each byte at 1-based position i XOR (i AND 15); its own inverse.
QByteArray PositionXor(const QByteArray &text);

// The process-wide work-file counter (0 to 998).
int16_t workFileCounter();
void setWorkFileCounter(int16_t value);

} // namespace zelp
