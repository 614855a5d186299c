#include "data/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VELMORA_POSIX_FILES 1
#endif

namespace velmora {

namespace fs = std::filesystem;

std::string ReplacementTempPath(const std::string& path) { return path + ".tmp"; }

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::string SystemText(const std::string& what, const std::string& path, int err) {
    return what + " " + Quoted(path) + ": " + std::strerror(err ? err : EIO);
}

// The refusal of something that is not a regular file.
std::string NotRegularText(const std::string& path, const char* kind, bool writing) {
    return Quoted(path) + " is " + kind + ", not a regular file, and was " +
           (writing ? "left as it is" : "not read") + ". Remove or rename it, or use another file.";
}

// The same for the end of a symbolic link, naming the link too.
std::string NotRegularText(const std::string& link, const std::string& target, std::string text) {
    if (link == target || text.empty()) return text;
    return Quoted(link) + " leads to " + text;
}

#ifdef VELMORA_POSIX_FILES

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

// Opens without waiting on a named pipe or a device, checks that what was
// opened is a regular file, then makes the descriptor blocking again.
int OpenRegular(const std::string& path, int flags, std::string* problem, bool writing) {
    int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        SetError(problem, SystemText("cannot open", path, err));
        errno = err;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        SetError(problem, NotRegularText(path, KindOf(st.st_mode), writing));
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

// Creates the work file; a regular file left there by an earlier run is
// ours and is replaced, anything else at that name is left alone.
int CreateWorkFile(const std::string& temp, mode_t mode) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
        struct stat st {};
        if (::lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::unlink(temp.c_str()) != 0) {
            errno = EEXIST;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

// Makes the rename itself durable; a failure here loses nothing.
void SyncDirectory(const std::string& path) {
    fs::path dir = fs::path(path).parent_path();
    if (dir.empty()) dir = ".";
    int fd = ::open(dir.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#endif

} // namespace

std::string ResolveFileTarget(const std::string& path) {
#ifdef VELMORA_POSIX_FILES
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return p;
        link.resize(static_cast<std::size_t>(n));
        if (!link.empty() && link[0] == '/') p = link;
        else p = (fs::path(p).parent_path() / link).string();
    }
    return p;
#else
    return path;
#endif
}

std::string WriteTargetProblem(const std::string& path) {
#ifdef VELMORA_POSIX_FILES
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {}; // nothing there (or the open will say why)
    if (!S_ISREG(st.st_mode)) return NotRegularText(path, KindOf(st.st_mode), true);
    return {};
#else
    std::error_code ec;
    auto s = fs::status(path, ec);
    if (ec || !fs::exists(s) || fs::is_regular_file(s)) return {};
    return NotRegularText(path, fs::is_directory(s) ? "a folder" : "something else", true);
#endif
}

std::string ReadTargetProblem(const std::string& path) {
#ifdef VELMORA_POSIX_FILES
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return SystemText("cannot open", path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegularText(path, KindOf(st.st_mode), false);
    return {};
#else
    std::error_code ec;
    auto s = fs::status(path, ec);
    if (ec || !fs::exists(s)) return SystemText("cannot open", path, ENOENT);
    if (!fs::is_regular_file(s))
        return NotRegularText(path, fs::is_directory(s) ? "a folder" : "something else", false);
    return {};
#endif
}

std::FILE* OpenRegularFile(const std::string& path, const char* mode, std::string* problem) {
    const bool reading = mode[0] == 'r';
#ifdef VELMORA_POSIX_FILES
    // Looked at before opening, so that opening has no effect on a device.
    std::string p = reading ? ReadTargetProblem(path) : WriteTargetProblem(path);
    if (!p.empty()) {
        SetError(problem, p);
        errno = EINVAL;
        return nullptr;
    }
    const int flags = reading ? O_RDONLY : (O_WRONLY | O_APPEND | O_CREAT);
    const int fd = OpenRegular(path, flags, problem, !reading);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, reading ? "rb" : "ab");
    if (!f) {
        SetError(problem, SystemText("cannot open", path, errno));
        ::close(fd);
    }
    return f;
#else
    std::string p = reading ? ReadTargetProblem(path) : WriteTargetProblem(path);
    if (!p.empty()) {
        SetError(problem, p);
        return nullptr;
    }
    std::FILE* f = std::fopen(path.c_str(), reading ? "rb" : "ab");
    if (!f) SetError(problem, SystemText("cannot open", path, errno));
    return f;
#endif
}

bool ReadRegularFile(const std::string& path, std::string& text, std::string* problem, std::size_t maxSize) {
    text.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(OpenRegularFile(path, "rb", problem), &std::fclose);
    if (!in) return false;
    char block[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(block, 1, sizeof block, in.get());
        if (n > maxSize - text.size()) {
            SetError(problem, Quoted(path) + " is too large");
            text.clear();
            return false;
        }
        text.append(block, n);
        if (n < sizeof block) break;
    }
    if (std::ferror(in.get())) {
        SetError(problem, SystemText("cannot read", path, errno));
        text.clear();
        return false;
    }
    return true;
}

// --- replacing a whole file ------------------------------------------------------

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const std::string& path, std::string* error, bool inPlaceAllowed,
                            std::string (*workName)(const std::string& target)) {
    Abandon();
    target_ = ResolveFileTarget(path);
    temp_ = workName ? workName(target_) : ReplacementTempPath(target_);
    if (temp_.empty() || temp_ == target_) {
        SetError(error, "no work file name for " + Quoted(target_));
        return false;
    }
    inPlace_ = false;
    if (std::string p = WriteTargetProblem(target_); !p.empty()) {
        SetError(error, NotRegularText(path, target_, p));
        return false;
    }
#ifdef VELMORA_POSIX_FILES
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    // The new file keeps the permissions of the one it replaces.
    const mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    int fd = CreateWorkFile(temp_, mode);
    if (fd >= 0) {
        if (exists) ::fchmod(fd, mode);
    } else {
        const int err = errno;
        // A folder that takes no new files: the file itself may still be writable.
        if (inPlaceAllowed && exists && (err == EACCES || err == EPERM)) {
            fd = OpenRegular(target_, O_WRONLY, nullptr, true);
            inPlace_ = fd >= 0;
        }
        if (fd < 0) {
            SetError(error, SystemText("cannot create", temp_, err));
            return false;
        }
    }
    file_ = ::fdopen(fd, "wb"); // does not cut the file: a file written in place is cut at Commit
    if (!file_) {
        const int err = errno;
        ::close(fd);
        if (!inPlace_) ::unlink(temp_.c_str());
        SetError(error, SystemText("cannot create", temp_, err));
        return false;
    }
#else
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) {
        SetError(error, SystemText("cannot create", temp_, errno));
        return false;
    }
#endif
    active_ = true;
    return true;
}

void FileReplacement::CloseForOtherWriter() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool FileReplacement::Commit(std::string* error, bool forceToDisk) {
    if (!active_) {
        SetError(error, "nothing to write");
        return false;
    }
    const std::string& where = WritePath();
    if (file_) {
        bool ok = std::fflush(file_) == 0;
        int err = ok ? 0 : errno;
#ifdef VELMORA_POSIX_FILES
        const int fd = ::fileno(file_);
        if (ok && inPlace_) {
            const off_t end = ::lseek(fd, 0, SEEK_CUR);
            if (end < 0 || ::ftruncate(fd, end) != 0) {
                ok = false;
                err = errno;
            }
        }
        if (ok && forceToDisk && ::fsync(fd) != 0) {
            ok = false;
            err = errno;
        }
#endif
        if (std::fclose(file_) != 0 && ok) {
            ok = false;
            err = errno;
        }
        file_ = nullptr;
        if (!ok) {
            SetError(error, SystemText("cannot write", where, err));
            Abandon();
            return false;
        }
    }
    if (!inPlace_) {
        std::error_code ec;
        fs::rename(temp_, target_, ec);
        if (ec) {
            SetError(error, "cannot rename " + Quoted(temp_) + " to " + Quoted(target_) + ": " + ec.message());
            Abandon();
            return false;
        }
    }
#ifdef VELMORA_POSIX_FILES
    if (forceToDisk) SyncDirectory(target_);
#endif
    active_ = false;
    return true;
}

void FileReplacement::Abandon() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (active_ && !inPlace_) {
        // Only remove what is (or may be) our own regular file.
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(temp_, ec))) fs::remove(temp_, ec);
    }
    active_ = false;
}

bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, std::size_t size,
                         std::string* error) {
    FileReplacement r;
    if (!r.Begin(path, error)) return false;
    if (size > 0 && std::fwrite(bytes, 1, size, r.File()) != size) {
        SetError(error, SystemText("cannot write", r.WritePath(), errno));
        return false;
    }
    return r.Commit(error);
}

} // namespace velmora
