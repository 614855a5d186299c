#include "umler/UmlerLoader.h"

#include "data/ReplaceFile.h"
#include "umler/UmlerExtract.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"
#include "umler/UmlerTexts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace velmora {

namespace {

constexpr std::size_t kReadBlock = 1 << 18;         // bytes of extract per read (fits the L2 cache)
constexpr std::size_t kWriteRecords = 1 << 12;      // records per write (86 KB)
constexpr std::size_t kLineHead = 64;               // a line's columns end at 30

std::string ErrnoText(int err) { return err ? std::string(std::strerror(err)) : std::string(); }

// Turns lines into records, writes them in blocks and keeps the counts.
class Converter {
public:
    Converter(std::FILE* out, UmlerLoadResult& result, std::size_t blockRecords)
        : out_(out), result_(result), block_(blockRecords), buf_(new uint8_t[blockRecords * kUmlerRecordSize]) {}

    bool Line(std::string_view line) {
        if (line.empty()) {
            ++result_.blankLinesSkipped; // no vehicle on it
            return true;
        }
        if (!UmlerLineHasVehicleKey(line)) ++result_.linesWithoutKey;
        UmlerRecord r = ParseUmlerLine(line);
        if (havePrevious_ && CompareUmlerKeys(r.initialCode, r.number, prevCode_, prevNumber_) < 0)
            ++result_.linesOutOfOrder;
        havePrevious_ = true;
        prevCode_ = r.initialCode;
        prevNumber_ = r.number;
        EncodeUmlerRecord(r, buf_.get() + used_ * kUmlerRecordSize);
        ++result_.recordsWritten;
        return ++used_ < block_ || Flush();
    }

    // A line that holds every column (see EncodeFullUmlerLine).
    bool FullLine(const char* p) {
        int32_t code, number;
        if (!EncodeFullUmlerLine(p, buf_.get() + used_ * kUmlerRecordSize, code, number)) ++result_.linesWithoutKey;
        if (havePrevious_ && CompareUmlerKeys(code, number, prevCode_, prevNumber_) < 0) ++result_.linesOutOfOrder;
        havePrevious_ = true;
        prevCode_ = code;
        prevNumber_ = number;
        ++result_.recordsWritten;
        return ++used_ < block_ || Flush();
    }

    bool Flush() {
        std::size_t bytes = used_ * kUmlerRecordSize;
        used_ = 0;
        if (bytes == 0) return true;
        errno = 0;
        if (std::fwrite(buf_.get(), 1, bytes, out_) != bytes) {
            result_.systemError = ErrnoText(errno);
            return false;
        }
        return true;
    }

private:
    std::FILE* out_;
    UmlerLoadResult& result_;
    std::size_t block_;
    std::unique_ptr<uint8_t[]> buf_;
    std::size_t used_ = 0;
    bool havePrevious_ = false;
    int32_t prevCode_ = 0;
    int32_t prevNumber_ = 0;
};

// True when one of the 8 bytes is below 14, which covers CR and LF (and
// other control characters, which then take the general path).
inline bool HasLowByte(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    return ((w - kOnes * 14) & ~w & (kOnes * 0x80)) != 0;
}

// True when the line at `p` holds its first kUmlerFullLine characters without
// a line end among them (`p` has at least that many bytes).
inline bool NoLineEndInColumns(const char* p) {
    static_assert(kUmlerFullLine == 30);
    uint64_t w[4];
    std::memcpy(&w[0], p, 8);
    std::memcpy(&w[1], p + 8, 8);
    std::memcpy(&w[2], p + 16, 8);
    std::memcpy(&w[3], p + 22, 8); // overlaps the word before: bytes 22-29
    return !HasLowByte(w[0]) && !HasLowByte(w[1]) && !HasLowByte(w[2]) && !HasLowByte(w[3]);
}

// Reports whole percents, each once, in ascending order.
class ProgressReporter {
public:
    ProgressReporter(const UmlerProgress& fn, uint64_t size) : fn_(fn), size_(size) {}

    bool Start() { return Report(0); }
    // Cheap enough to call for every line: the callback only runs when the
    // next whole percent has been reached.
    bool At(uint64_t consumed) {
        if (consumed < next_ || size_ == 0) return true;
        uint64_t pct = consumed >= size_ ? 100 : consumed * 100 / size_;
        return Report(static_cast<int>(pct));
    }
    bool Finish() { return Report(100); }

private:
    bool Report(int pct) {
        if (pct <= last_) return true;
        last_ = pct;
        next_ = pct >= 100 ? UINT64_MAX : ((static_cast<uint64_t>(pct) + 1) * size_ + 99) / 100;
        return fn_ ? fn_(pct) : true;
    }

    const UmlerProgress& fn_;
    uint64_t size_;
    int last_ = -1;
    uint64_t next_ = 0;
};

} // namespace

UmlerLoadResult ConvertUmlerExtract(std::FILE* in, std::FILE* out, uint64_t inputSize,
                                    const UmlerProgress& progress) {
    UmlerLoadResult result;
    // Whole blocks go straight between the buffers here and the system.
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::setvbuf(out, nullptr, _IONBF, 0);

    // Blocks no larger than a small extract needs (it has at most one record
    // per byte); the size only matters for speed.
    const std::size_t readBlock =
        inputSize == 0 ? kReadBlock : static_cast<std::size_t>(std::clamp<uint64_t>(inputSize + 1, 4096, kReadBlock));
    const std::size_t writeRecords =
        inputSize == 0 ? kWriteRecords : static_cast<std::size_t>(std::clamp<uint64_t>(inputSize, 64, kWriteRecords));
    Converter conv(out, result, writeRecords);
    ProgressReporter gauge(progress, inputSize);
    std::unique_ptr<char[]> block(new char[readBlock]);
    // The start of a line that continues in the next block: only its first
    // columns matter, so at most kLineHead characters are kept.
    char head[kLineHead];
    std::size_t headLen = 0;
    bool inLine = false;
    bool afterCR = false; // the last line ended with a CR: a LF right after it belongs to it
    uint64_t consumed = 0;

    auto fail = [&](UmlerLoadStatus s) {
        result.status = s;
        return result;
    };

    if (!gauge.Start()) return fail(UmlerLoadStatus::Interrupted);
    for (;;) {
        errno = 0;
        std::size_t got = std::fread(block.get(), 1, readBlock, in);
        if (got == 0) {
            if (std::ferror(in)) {
                result.systemError = ErrnoText(errno);
                return fail(UmlerLoadStatus::ReadFailed);
            }
            break;
        }
        const char* p = block.get();
        const char* end = p + got;
        while (p < end) {
            if (afterCR) {
                afterCR = false;
                if (*p == '\n') {
                    ++p;
                    ++consumed;
                    continue;
                }
            }
            // The usual line: every column, then its line end.
            if (!inLine && static_cast<std::size_t>(end - p) > kUmlerFullLine && NoLineEndInColumns(p) &&
                (p[kUmlerFullLine] == '\r' || p[kUmlerFullLine] == '\n')) {
                if (!conv.FullLine(p)) return fail(UmlerLoadStatus::WriteFailed);
                const bool cr = p[kUmlerFullLine] == '\r';
                p += kUmlerFullLine + 1;
                consumed += kUmlerFullLine + 1;
                if (cr) {
                    if (p == end) {
                        afterCR = true; // a LF may open the next block
                    } else if (*p == '\n') {
                        ++p;
                        ++consumed;
                    }
                }
                if (!gauge.At(consumed)) return fail(UmlerLoadStatus::Interrupted);
                continue;
            }
            // CR, LF and CR LF each end a line.
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* lim = lf ? lf : end;
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(lim - p)));
            const char* nl = cr ? cr : lf;
            const char* stop = nl ? nl : end;
            std::string_view piece(p, static_cast<std::size_t>(stop - p));
            if (!nl) {
                // The line goes on in the next block.
                std::size_t take = std::min(piece.size(), kLineHead - headLen);
                std::memcpy(head + headLen, piece.data(), take);
                headLen += take;
                inLine = true;
                break;
            }
            bool ok;
            if (inLine) {
                std::size_t take = std::min(piece.size(), kLineHead - headLen);
                std::memcpy(head + headLen, piece.data(), take);
                headLen += take;
                ok = conv.Line(std::string_view(head, headLen));
                headLen = 0;
                inLine = false;
            } else {
                ok = conv.Line(piece);
            }
            if (!ok) return fail(UmlerLoadStatus::WriteFailed);
            consumed += static_cast<uint64_t>(nl + 1 - p);
            afterCR = *nl == '\r';
            p = nl + 1;
            if (!gauge.At(consumed)) return fail(UmlerLoadStatus::Interrupted);
        }
        if (inLine) consumed += static_cast<uint64_t>(end - p); // the part of the line read so far
    }
    // A last line without a line end is a line too.
    if (inLine && !conv.Line(std::string_view(head, headLen))) return fail(UmlerLoadStatus::WriteFailed);
    if (!conv.Flush()) return fail(UmlerLoadStatus::WriteFailed);
    errno = 0;
    if (std::fflush(out) != 0) {
        result.systemError = ErrnoText(errno);
        return fail(UmlerLoadStatus::WriteFailed);
    }
    if (!gauge.Finish()) return fail(UmlerLoadStatus::Interrupted);
    return result;
}

std::string UmlerTempPath(const std::string& dataPath) { return dataPath + ".tmp"; }

UmlerLoadResult LoadUMLER(const std::string& extractPath, const std::string& dataPath,
                          const UmlerProgress& progress) {
    namespace fs = std::filesystem;
    UmlerLoadResult result;
    std::error_code ec;

    // Only a regular file is read: a folder never reads and a named pipe
    // would wait for a writer.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(OpenRegularFile(extractPath, "rb", &result.systemError),
                                                       &std::fclose);
    if (!in) {
        result.status = UmlerLoadStatus::CannotOpenExtract;
        return result;
    }
    uint64_t size = fs::file_size(extractPath, ec);
    if (ec) size = 0; // unknown: the gauge jumps from 0 to 100

    // The data file is replaced through a work file beside it; anything but
    // a regular file at its name is left alone.
    FileReplacement out;
    if (!out.Begin(dataPath, &result.systemError)) {
        result.status = UmlerLoadStatus::CannotCreateData;
        return result;
    }

    result = ConvertUmlerExtract(in.get(), out.File(), size, progress);
    if (result.Ok()) {
        std::string error;
        if (!out.Commit(&error)) {
            result.status = UmlerLoadStatus::WriteFailed;
            result.systemError = error;
        }
    }
    return result; // without a Commit the previous register stays as it was
}

std::string UmlerLoadMessage(const UmlerLoadResult& r) {
    switch (r.status) {
    case UmlerLoadStatus::CannotOpenExtract: return kUmlerCannotOpenText;
    case UmlerLoadStatus::CannotCreateData: return kUmlerCannotCreateData;
    case UmlerLoadStatus::ReadFailed: return kUmlerCannotReadText;
    case UmlerLoadStatus::WriteFailed: return kUmlerCannotWriteData;
    case UmlerLoadStatus::Interrupted: return kUmlerLoadInterrupted;
    case UmlerLoadStatus::Ok: break;
    }
    std::string text;
    if (r.linesWithoutKey) text = std::to_string(r.linesWithoutKey) + kUmlerNoKeySuffix;
    if (r.linesOutOfOrder) {
        if (!text.empty()) text += ' ';
        text += std::to_string(r.linesOutOfOrder) + kUmlerOutOfOrderSuffix;
    }
    return text;
}

} // namespace velmora
