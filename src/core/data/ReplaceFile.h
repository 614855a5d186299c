// The files this system reads and writes, and how it writes them.
//
// Every file the system opens is checked first: only a regular file (or a
// name where nothing stands yet) is ever read or written. A folder, a device,
// a named pipe or a socket at a file's name is refused with a message and
// left as it is; opening never waits on a named pipe.
//
// Whole files are rewritten safely: the bytes go to a work file beside the
// target ("<name>.tmp"), which is flushed to the disk and then renamed over
// the target. A crash or a full disk leaves the old file or the new one,
// never half of one. A symbolic link is followed: the file it leads to is
// replaced in its own folder and the link stays. Where that folder does not
// let a work file be created but the file itself may be written, the file is
// written in place instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace velmora {

// Empty when `path` may be written: nothing stands there, or it is (or a
// symbolic link leads to) a regular file. Otherwise the message that refuses
// it, naming the path and what to do.
std::string WriteTargetProblem(const std::string& path);
// Empty when `path` is (or a symbolic link leads to) a regular file;
// otherwise the message that refuses it. A missing file gives the system's
// reason.
std::string ReadTargetProblem(const std::string& path);

// Opens a regular file for reading ("rb") or appending ("ab", created when
// missing), never blocking on what stands at the name. Anything else is
// refused: nullptr, and `problem` (when given) says why.
std::FILE* OpenRegularFile(const std::string& path, const char* mode, std::string* problem = nullptr);

// The whole of a regular file, read through OpenRegularFile; false, with
// `problem` (when given) saying why, when it cannot be read or holds more
// than `maxSize` bytes.
bool ReadRegularFile(const std::string& path, std::string& text, std::string* problem = nullptr,
                     std::size_t maxSize = static_cast<std::size_t>(-1));

// The file a write to `path` lands in: symbolic links followed to their
// final target, which need not exist yet.
std::string ResolveFileTarget(const std::string& path);

// True when the file now holds exactly these bytes. On failure the target is
// untouched, the temporary file is removed and `error` (when given) receives
// the reason.
bool ReplaceFileContents(const std::string& path, const uint8_t* bytes, std::size_t size,
                         std::string* error = nullptr);

// The temporary file a replacement of `path` writes first.
std::string ReplacementTempPath(const std::string& path);

// A replacement written by the caller: Begin() checks the target and opens
// where the bytes go (the work file, or the target itself when only that can
// be written), Commit() puts them in place. Dropped without a Commit, the
// work file is removed and the target stays as it was.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // `inPlaceAllowed` false: no falling back to writing the target itself.
    // `workName` (when given) names the work file after the resolved target.
    bool Begin(const std::string& path, std::string* error = nullptr, bool inPlaceAllowed = true,
               std::string (*workName)(const std::string& target) = nullptr);
    // The open file, positioned at its start (owned here until Commit).
    std::FILE* File() const { return file_; }
    // Where the bytes go, for a writer that opens the file by name (after
    // CloseForOtherWriter).
    const std::string& WritePath() const { return inPlace_ ? target_ : temp_; }
    const std::string& Target() const { return target_; }
    bool InPlace() const { return inPlace_; }
    // Closes the file so that another writer can write WritePath().
    void CloseForOtherWriter();
    // Flushes the bytes written, cuts a file written in place to them and
    // renames the work file over the target. `forceToDisk` false leaves the
    // bytes to the system's cache instead of waiting for the disk: only for
    // files rebuilt from another file, where a power cut can cost the copy
    // but never a record of ours.
    bool Commit(std::string* error = nullptr, bool forceToDisk = true);
    void Abandon();

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool inPlace_ = false;
    bool active_ = false;
};

} // namespace velmora
