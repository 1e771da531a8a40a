#include "transfer/FileText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadRegularFile(const std::string& path, std::string& text, std::string& failure,
                     std::size_t most) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failure = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failure = "not a regular file";
        return false;
    }
    text.reserve(std::min(static_cast<std::size_t>(st.st_size), most));
    char buffer[65536];
    ssize_t n = 0;
    while (text.size() < most &&
           ((n = ::read(fd, buffer, std::min(sizeof buffer, most - text.size()))) > 0 ||
            (n < 0 && errno == EINTR))) {
        text.append(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
    }
    const int readError = errno;
    ::close(fd);
    if (n < 0) {
        failure = std::strerror(readError);
        return false;
    }
    return true;
}
