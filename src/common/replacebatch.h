#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace zelp {

// What tells one version of a file from another: its identity, size and time stamp.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds

    static FileStamp of(const QString &path);
    bool operator==(const FileStamp &o) const;
};

// Many files replaced at the speed of the disk, each still its old or its new content after a
// crash at any moment. While a batch is open, replaceFile and MoveFileOver stage their work:
// the new file is written beside its target and its writeback started, and it takes the
// target's name only at commit(), after one flush of all of them. Work files that a later step
// replaces (marked as scratch) are neither flushed nor staged. One batch at a time.
class ReplaceBatch {
public:
    struct Outcome {
        QString path; // as the writer was given it
        bool ok = false;
        QString error;
    };

    ReplaceBatch();
    // Whatever was staged and not committed is dropped: the targets stay as they were.
    ~ReplaceBatch();
    ReplaceBatch(const ReplaceBatch &) = delete;
    ReplaceBatch &operator=(const ReplaceBatch &) = delete;

    static ReplaceBatch *active();

    // Takes note of a file as it is now: if another program changes it before the batch
    // replaces it, that file fails instead of losing the other program's change.
    void watch(const QString &path);
    // The same with the file as it was when the caller read it.
    void watch(const QString &path, const FileStamp &whenRead);
    void markScratch(const QString &path);
    bool isScratch(const QString &path) const;
    void unmarkScratch(const QString &path);

    // Used by the writers: fresh holds the complete new content of target (a resolved path).
    // False with *error set when target changed since it was watched.
    bool stage(const QString &fresh, const QString &target, const QString &requested,
               QString *error);
    qsizetype pending() const { return qsizetype(staged_.size()); }
    // Flushes every staged file, renames each onto its target, then flushes their folders.
    std::vector<Outcome> commit();

private:
    struct Staged {
        QString fresh, target, requested;
        FileStamp expected;
    };
    std::vector<Staged> staged_;
    QHash<QString, FileStamp> watched_;
    QSet<QString> scratch_;
};

} // namespace zelp
