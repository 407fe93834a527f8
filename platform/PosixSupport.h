#pragma once

// Small pieces shared by the POSIX sources of the platform layer; not part of its interface.

#include "platform/Platform.h"

#include <unistd.h>
#include <utility>

namespace meloport::platform::posix {

inline OsError osError(int code)
{
    return {code, describeError(code)};
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

private:
    int m_fd;
};

} // namespace meloport::platform::posix
