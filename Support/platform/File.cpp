#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

ReadFileResult readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    auto fail = [&](ReadFileResult result, const std::string& why) {
        if (error) *error = why;
        out.clear();
        return result;
    };
    if (path.empty() || path.find('\0') != std::string::npos) return fail(ReadFileResult::Missing, "no file named");
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        int e = errno;
        if (e == ENOENT || e == ENOTDIR) return fail(ReadFileResult::Missing, "no such file");
        return fail(ReadFileResult::Failed, std::string("cannot be opened: ") + std::strerror(e));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(ReadFileResult::NotRegular, "is not a regular file");
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return fail(ReadFileResult::TooLarge, "is larger than " + std::to_string(maxBytes) + " bytes");
    }
    out.reserve(static_cast<size_t>(st.st_size));
    uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            return fail(ReadFileResult::Failed, std::string("cannot be read: ") + std::strerror(e));
        }
        if (n == 0) break;
        // The file may have grown since it was measured.
        if (out.size() + static_cast<size_t>(n) > maxBytes) {
            ::close(fd);
            return fail(ReadFileResult::TooLarge, "is larger than " + std::to_string(maxBytes) + " bytes");
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    ::close(fd);
    return ReadFileResult::Ok;
}

} // namespace platform
