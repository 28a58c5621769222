#include "posixfiles.h"

#include "common/osfiles.h"
#include "common/replacebatch.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {

FileStamp FileStamp::of(const QString &path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(native(path).constData(), &st) == 0) {
        stamp = {true, quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                 qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    return stamp;
}

namespace os {

QString reasonOf(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

int createExclusive(const QString &path) {
    return ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

bool processIsGone(qint64 pid) {
    return pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
}

QString flushFile(const QString &path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return reasonOf(errno);
    }
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code ? reasonOf(code) : QString();
}

bool flushFileSystemsOf(const QStringList &files) {
    QSet<dev_t> done;
    bool ok = true;
    for (const QString &file : files) {
        struct stat st {};
        if (::stat(native(file).constData(), &st) != 0 || done.contains(st.st_dev)) {
            continue;
        }
        done.insert(st.st_dev);
        const int fd = ::open(native(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0) {
            ok = false;
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    return ok;
}

void flushFolder(const QString &folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString renameOver(const QString &from, const QString &to) {
    return ::rename(native(from).constData(), native(to).constData()) == 0 ? QString()
                                                                           : reasonOf(errno);
}

} // namespace os
} // namespace zelp
