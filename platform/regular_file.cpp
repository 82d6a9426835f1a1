#include "platform/regular_file.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsSmallRegularFile(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_size <= kLargestSettingsFile; }

}  // namespace

std::optional<QByteArray> ReadSettingsFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // A first look by name keeps the open from reaching a device at all.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !IsSmallRegularFile(st)) return std::nullopt;

    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<QByteArray> result;
    if (::fstat(fd, &st) == 0 && IsSmallRegularFile(st)) {
        QByteArray bytes;
        bytes.reserve(qsizetype(st.st_size));
        char buffer[16384];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            if (n == 0) {
                result = std::move(bytes);
                break;
            }
            // The file grew past the limit since it was judged.
            if (bytes.size() + n > kLargestSettingsFile) break;
            bytes.append(buffer, n);
        }
    }
    ::close(fd);
    return result;
}
