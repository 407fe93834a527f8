#pragma once

// Small pieces shared by the POSIX sources of the platform layer; not part of its interface.

#include "platform/Platform.h"

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace meloport::platform::posix {

inline OsError osError(int code)
{
    return {code, describeError(code)};
}

// What a rename of `from` in the folder `dir` that failed with `error` means: exFAT through FUSE
// answers a name it cannot hold as if the file were missing, while the file is there.
inline int renameError(int dir, const QByteArray &from, int error)
{
    struct stat st {};
    if (error == ENOENT && ::fstatat(dir, from.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EINVAL;
    return error;
}

// Writes all `size` bytes, going on after a short write or a signal. False with errno on failure.
inline bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

inline bool writeAll(int fd, const QByteArray &bytes)
{
    return writeAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A file descriptor, closed when it goes out of scope.
class Fd final {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Closes now: the result of close() is the last word on whether written data reached the disk.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

    // Hands the descriptor over to another owner.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace meloport::platform::posix
