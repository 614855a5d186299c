#include "data/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define VELMORA_POSIX_FILES 1
#endif

namespace velmora {

std::string ReplacementTempPath(const std::string& path) { return path + ".tmp"; }

namespace {

void SetError(std::string* error, const std::string& what, int err) {
    if (error) *error = what + ": " + std::strerror(err);
}

#ifdef VELMORA_POSIX_FILES

bool WriteAll(int fd, const uint8_t* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (w == 0) {
            errno = EIO;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool WriteTemp(const std::string& tmp, const uint8_t* bytes, std::size_t size, std::string* error) {
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetError(error, "cannot create " + tmp, errno);
        return false;
    }
    bool ok = WriteAll(fd, bytes, size);
    if (!ok) SetError(error, "cannot write " + tmp, errno);
    if (ok && ::fsync(fd) != 0) {
        SetError(error, "cannot flush " + tmp, errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        SetError(error, "cannot close " + tmp, errno);
        ok = false;
    }
    return ok;
}

// Makes the rename itself durable; a failure here loses nothing.
void SyncDirectory(const std::string& path) {
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty()) dir = ".";
    int fd = ::open(dir.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#else

bool WriteTemp(const std::string& tmp, const uint8_t* bytes, std::size_t size, std::string* error) {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        SetError(error, "cannot create " + tmp, errno);
        return false;
    }
    bool ok = std::fwrite(bytes, 1, size, f) == size && std::fflush(f) == 0;
    if (!ok) SetError(error, "cannot write " + tmp, errno);
    if (std::fclose(f) != 0 && ok) {
        SetError(error, "cannot close " + tmp, errno);
        ok = false;
    }
    return ok;
}

void SyncDirectory(const std::string&) {}

#endif

} // namespace

bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, std::size_t size,
                         std::string* error) {
    const std::string tmp = ReplacementTempPath(path);
    std::error_code ec;
    if (!WriteTemp(tmp, bytes, size, error)) {
        // Only remove what is (or may be) our own regular file.
        if (std::filesystem::is_regular_file(tmp, ec)) std::filesystem::remove(tmp, ec);
        return false;
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        if (error) *error = "cannot rename " + tmp + " to " + path + ": " + ec.message();
        std::filesystem::remove(tmp, ec);
        return false;
    }
    SyncDirectory(path);
    return true;
}

} // namespace velmora
