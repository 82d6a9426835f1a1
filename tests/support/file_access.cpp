#include "support/file_access.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

namespace {
// Sets or clears the immutable flag; false when the file system refuses.
bool SetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
}  // namespace

Unwritable::Unwritable(const QString& path, bool immutable, QFileDevice::Permissions before)
    : m_path(path), m_immutable(immutable), m_before(before) {}

Unwritable::~Unwritable() {
    if (m_immutable) SetImmutable(m_path, false);
    else QFile::setPermissions(m_path, m_before);
}

std::unique_ptr<Unwritable> MakeUnwritable(const QString& path, bool isDir, std::string* why) {
    const QFileDevice::Permissions before = QFile::permissions(path);
    if (SetImmutable(path, true)) return std::unique_ptr<Unwritable>(new Unwritable(path, true, before));
    if (::geteuid() == 0) {
        *why = "running as root and the file system refuses the immutable flag (no CAP_LINUX_IMMUTABLE or no "
               "support): nothing can make the file unwritable for root";
        return nullptr;
    }
    QFile::setPermissions(path, isDir ? (QFileDevice::ReadOwner | QFileDevice::ExeOwner) : QFileDevice::ReadOwner);
    return std::unique_ptr<Unwritable>(new Unwritable(path, false, before));
}
