#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

namespace zelp {
class ClientDocument;
}

namespace zelp::cli {

struct FileList;

// "1 file", "2 files".
QString filesWord(qsizetype n);

// Work on a list of files: each failure on a line of its own, a progress counter on a
// terminal when the work takes a while, a summary at the end when there were many files.
class Batch {
public:
    Batch(qsizetype total, bool many);
    // Over the files the arguments named (and more steps after them); the arguments that named
    // nothing have failed already.
    explicit Batch(const FileList &list, qsizetype more = 0);
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    // "zelpdev2k-cli: FILE: why" on stderr.
    void failed(const QString &file, const QString &why);
    // Failures found before the work began (arguments that name nothing).
    void failedArgument(const QString &line);
    // "zelpdev2k-cli: line" on stderr, clear of the progress counter, not counted as a failure.
    void tell(const QString &line);
    // One more file is done, well or not.
    void step();
    qsizetype failures() const { return failures_; }
    qsizetype done() const { return done_; }
    // Ends the progress counter, prints "zelpdev2k-cli: <summary>[, N failed]" when there
    // were many files and gives the exit code: kFailed when any file failed.
    int finish(const QString &summary);
    // The same for a run that a signal may have stopped: then the summary is "stopped by signal
    // S after DONE of <soFar>" and the code 128 + S.
    int finish(const QString &summary, const QString &soFar);

private:
    void clearProgress();

    qsizetype total_ = 0;
    qsizetype done_ = 0;
    qsizetype failures_ = 0;
    bool many_ = false;
    bool terminal_ = false;
    bool shown_ = false;
    QElapsedTimer clock_;
    qint64 lastShown_ = 0;
};

// The file as a document, the batch one step further; nullptr when it is none, and the file
// failed with "no connection file: why" and after.
std::unique_ptr<ClientDocument> loadStep(Batch &batch, const QString &file,
                                         const QString &after = {});

} // namespace zelp::cli
