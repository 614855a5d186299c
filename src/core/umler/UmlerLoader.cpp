#include "umler/UmlerLoader.h"

#include "data/ReplaceFile.h"
#include "umler/UmlerExtract.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"
#include "umler/UmlerTexts.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace velmora {

namespace {

constexpr std::size_t kPieceBytes = 1 << 18;   // extract bytes per piece of work (fits the L2 cache)
constexpr std::size_t kLineHead = 64;          // a line's columns end at 30
constexpr uint64_t kThreadedFrom = 1 << 21;    // smaller extracts are converted by the caller alone

std::string ErrnoText(int err) { return err ? std::string(std::strerror(err)) : std::string(); }

inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

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

// Bytes that are not cleared before they are filled (a read fills them).
class ByteBuffer {
public:
    char* data() { return data_.get(); }
    std::size_t size() const { return size_; }
    char* begin() { return data_.get(); }
    char* end() { return data_.get() + size_; }
    char& back() { return data_[size_ - 1]; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }
    // Keeps the first `n` bytes (growing leaves the new ones unset).
    void resize(std::size_t n) {
        if (n > cap_) {
            std::size_t cap = std::max(n, cap_ * 2);
            std::unique_ptr<char[]> grown(new char[cap]);
            if (size_) std::memcpy(grown.get(), data_.get(), size_);
            data_ = std::move(grown);
            cap_ = cap;
        }
        size_ = n;
    }
    void assign(const char* from, const char* to) {
        const auto n = static_cast<std::size_t>(to - from);
        size_ = 0;
        resize(n);
        if (n) std::memmove(data_.get(), from, n);
    }
    // Removes [from, to).
    void erase(char* from, char* to) {
        std::memmove(from, to, static_cast<std::size_t>(end() - to));
        size_ -= static_cast<std::size_t>(to - from);
    }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0, cap_ = 0;
};

// A run of whole lines of the extract and what they turn into. Pieces are
// converted on their own (possibly by another thread) and written in order;
// the order check across two pieces is done when they are joined.
struct Piece {
    ByteBuffer text;             // whole lines; the extract's last piece may end without a line end
    uint64_t endOffset = 0;      // bytes of the extract up to the end of this piece
    std::vector<uint8_t> out;    // the records
    std::size_t records = 0;
    uint64_t blank = 0, withoutKey = 0, outOfOrder = 0;
    int32_t firstCode = 0, firstNumber = 0, lastCode = 0, lastNumber = 0;
    enum class State { Free, Filled, Converting, Converted } state = State::Free;

    uint8_t* NextRecord() {
        if ((records + 1) * kUmlerRecordSize > out.size())
            out.resize(std::max(out.size() * 2, (records + 64) * kUmlerRecordSize));
        return out.data() + records * kUmlerRecordSize;
    }
    void Keyed(int32_t code, int32_t number) {
        if (records == 0) {
            firstCode = code;
            firstNumber = number;
        } else if (CompareUmlerKeys(code, number, lastCode, lastNumber) < 0) {
            ++outOfOrder;
        }
        lastCode = code;
        lastNumber = number;
        ++records;
    }
    void Line(std::string_view line) {
        if (line.empty()) {
            ++blank; // no vehicle on it
            return;
        }
        if (!UmlerLineHasVehicleKey(line)) ++withoutKey;
        const UmlerRecord r = ParseUmlerLine(line);
        EncodeUmlerRecord(r, NextRecord());
        Keyed(r.initialCode, r.number);
    }

    // Turns the lines into records. CR, LF and CR LF each end a line.
    void Convert() {
        out.resize((text.size() / 31 + 64) * kUmlerRecordSize);
        records = 0;
        blank = withoutKey = outOfOrder = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            // The usual line: every column, then its line end.
            if (static_cast<std::size_t>(end - p) > kUmlerFullLine && NoLineEndInColumns(p) &&
                IsLineEnd(p[kUmlerFullLine])) {
                int32_t code, number;
                if (!EncodeFullUmlerLine(p, NextRecord(), code, number)) ++withoutKey;
                Keyed(code, number);
                p += kUmlerFullLine + 1;
                if (p[-1] == '\r' && p < end && *p == '\n') ++p;
                continue;
            }
            const auto left = static_cast<std::size_t>(end - p);
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', left));
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>((lf ? lf : end) - p)));
            const char* nl = cr ? cr : lf;
            Line(std::string_view(p, static_cast<std::size_t>((nl ? nl : end) - p)));
            if (!nl) break; // the last line, without a line end
            p = nl + 1;
            if (*nl == '\r' && p < end && *p == '\n') ++p;
        }
    }
};

// Cuts the extract, read as a stream, into pieces of whole lines.
class PieceReader {
public:
    PieceReader(std::FILE* in, std::size_t pieceBytes) : in_(in), pieceBytes_(pieceBytes) {}

    bool AtEnd() const { return atEnd_ && carry_.empty(); }

    // Fills `w` with the next whole lines (at the end of the extract: all
    // that is left). False when the extract cannot be read (`error` set).
    bool Fill(Piece& w, std::string& error) {
        ByteBuffer& text = w.text;
        text.assign(carry_.begin(), carry_.end());
        carry_.clear();
        while (!atEnd_) {
            const std::size_t old = text.size();
            text.resize(old + pieceBytes_);
            errno = 0;
            std::size_t got = std::fread(text.data() + old, 1, pieceBytes_, in_);
            text.resize(old + got);
            if (got == 0) {
                if (std::ferror(in_)) {
                    error = ErrnoText(errno);
                    return false;
                }
                atEnd_ = true;
                break;
            }
            read_ += got;
            if (lfMayFollow_) {
                // The last piece ended with a CR: a LF right after it belongs to that line end.
                lfMayFollow_ = false;
                if (text.data()[old] == '\n') {
                    text.erase(text.data() + old, text.data() + old + 1);
                    if (--got == 0) continue;
                }
            }
            char* cut = text.end(); // just after the last line end
            while (cut != text.begin() && !IsLineEnd(cut[-1])) --cut;
            if (cut == text.begin()) {
                // One line so far, not yet ended: only its first columns matter.
                if (text.size() > kLineHead) text.resize(kLineHead);
                continue;
            }
            carry_.assign(cut, text.end());
            text.resize(static_cast<std::size_t>(cut - text.begin()));
            lfMayFollow_ = carry_.empty() && text.back() == '\r';
            break;
        }
        w.endOffset = read_ - carry_.size();
        return true;
    }

private:
    std::FILE* in_;
    std::size_t pieceBytes_;
    ByteBuffer carry_; // the start of a line the next piece begins with
    uint64_t read_ = 0;
    bool atEnd_ = false;
    bool lfMayFollow_ = false;
};

// Reports whole percents, each once, in ascending order.
class ProgressReporter {
public:
    ProgressReporter(const UmlerProgress& fn, uint64_t size) : fn_(fn), size_(size) {}

    bool Start() { return Report(0); }
    bool At(uint64_t consumed) {
        if (size_ == 0) return true;
        return Report(static_cast<int>(consumed >= size_ ? 100 : consumed * 100 / size_));
    }
    bool Finish() { return Report(100); }

private:
    bool Report(int pct) {
        if (pct <= last_) return true;
        last_ = pct;
        return fn_ ? fn_(pct) : true;
    }

    const UmlerProgress& fn_;
    uint64_t size_;
    int last_ = -1;
};

// Pieces in a ring: the caller's thread reads them in, the helpers and the
// caller convert them, the caller writes them out in order.
class PieceRing {
public:
    PieceRing(std::size_t slots, unsigned helpers) : slots_(slots) {
        try {
            for (unsigned i = 0; i < helpers; ++i) threads_.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            // No thread to be had: the caller converts every piece.
        }
    }
    ~PieceRing() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (auto& t : threads_) t.join();
    }

    std::size_t Slots() const { return slots_.size(); }
    Piece& At(std::size_t i) { return slots_[i % slots_.size()]; }

    void Filled(Piece& w) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            w.state = Piece::State::Filled;
        }
        wake_.notify_all();
    }
    void Release(Piece& w) {
        std::lock_guard<std::mutex> lock(mutex_);
        w.state = Piece::State::Free;
    }

    // Returns when `w` is converted: by the caller itself when no helper has
    // taken it yet.
    void WaitConverted(Piece& w) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (w.state == Piece::State::Filled) {
            w.state = Piece::State::Converting;
            lock.unlock();
            w.Convert();
            lock.lock();
            w.state = Piece::State::Converted;
            return;
        }
        done_.wait(lock, [&] { return w.state == Piece::State::Converted; });
    }

private:
    void Help() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            Piece* next = nullptr;
            wake_.wait(lock, [&] {
                next = nullptr;
                for (auto& w : slots_)
                    if (w.state == Piece::State::Filled && (!next || w.endOffset < next->endOffset)) next = &w;
                return stop_ || next;
            });
            if (stop_) return;
            next->state = Piece::State::Converting;
            lock.unlock();
            next->Convert();
            lock.lock();
            next->state = Piece::State::Converted;
            done_.notify_all();
        }
    }

    std::vector<Piece> slots_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool stop_ = false;
};

} // namespace

UmlerLoadResult ConvertUmlerExtract(std::FILE* in, std::FILE* out, uint64_t inputSize,
                                    const UmlerProgress& progress) {
    UmlerLoadResult result;
    // Whole pieces go straight between the buffers here and the system.
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::setvbuf(out, nullptr, _IONBF, 0);
    auto fail = [&](UmlerLoadStatus s) {
        result.status = s;
        return result;
    };

    // A piece is well under a hundredth of the extract, so that every percent
    // is reported; large extracts are converted by a second thread as well.
    const std::size_t pieceBytes =
        inputSize == 0 ? kPieceBytes : static_cast<std::size_t>(std::clamp<uint64_t>(inputSize / 128, kLineHead, kPieceBytes));
    const unsigned helpers = inputSize >= kThreadedFrom && std::thread::hardware_concurrency() > 1 ? 1 : 0;
    PieceReader reader(in, pieceBytes);
    ProgressReporter gauge(progress, inputSize);
    PieceRing ring(helpers ? 4 : 1, helpers);

    if (!gauge.Start()) return fail(UmlerLoadStatus::Interrupted);
    bool haveKey = false;
    int32_t lastCode = 0, lastNumber = 0;
    std::size_t first = 0, filled = 0; // pieces [first, filled) are in the ring
    for (;;) {
        while (filled - first < ring.Slots() && !reader.AtEnd()) {
            Piece& w = ring.At(filled);
            if (!reader.Fill(w, result.systemError)) return fail(UmlerLoadStatus::ReadFailed);
            ring.Filled(w);
            ++filled;
        }
        if (first == filled) break;
        Piece& w = ring.At(first++);
        ring.WaitConverted(w);
        result.blankLinesSkipped += w.blank;
        result.linesWithoutKey += w.withoutKey;
        result.linesOutOfOrder += w.outOfOrder;
        if (w.records) {
            if (haveKey && CompareUmlerKeys(w.firstCode, w.firstNumber, lastCode, lastNumber) < 0)
                ++result.linesOutOfOrder;
            haveKey = true;
            lastCode = w.lastCode;
            lastNumber = w.lastNumber;
            result.recordsWritten += w.records;
            const std::size_t bytes = w.records * kUmlerRecordSize;
            errno = 0;
            if (std::fwrite(w.out.data(), 1, bytes, out) != bytes) {
                result.systemError = ErrnoText(errno);
                return fail(UmlerLoadStatus::WriteFailed);
            }
        }
        ring.Release(w);
        if (!gauge.At(w.endOffset)) return fail(UmlerLoadStatus::Interrupted);
    }
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
        // The register is rebuilt from the extract at any time, so the load
        // does not wait for the disk (that doubled its time); the rename still
        // keeps the previous register whole when the load fails.
        if (!out.Commit(&error, false)) {
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
