// The options file "programmer option.ads" and the option defaults.
//
// Version 4 layout (little-endian, 51652 bytes):
//   0      16     signature
//   16     4      file version (4)
//   20     20     reserved (written as zeros)
//   40     20     version text of the program that wrote the file
//   60     120    tag log file name
//   180    120    import tag file name
//   300    341    programmer state
//   641    114    communication log settings
//   755    252    label printer settings
//   1007   252    second printer settings
//   1259   128    tag log window column widths (32 x i32)
//   1387   329    settings block
//   1716   6000   recent programmed tag lines, 50 x 120 (3500 bytes in version 1)
//   7716   43920  40 tag format records of 1098 bytes (none in version 1,
//                 997-byte records in version 2)
//   51636  16     signature again
#include "data/OptionsFile.h"

#include "data/ReplaceFile.h"
#include "util/Bytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmora {

const uint8_t kOptionsSignature[16] = {0x80, 0x0D, 0x00, 0x00, 0x22, 0x4B, 0x00, 0x00,
                                       0x2E, 0x16, 0x00, 0x00, 0x95, 0x5B, 0x00, 0x00};

namespace {

constexpr std::size_t kSignatureSize = 16;
constexpr std::size_t kReservedHeaderSize = 20;
constexpr std::size_t kRecentLinesSize = kRecentTagLines * kRecentTagLineWidth; // 6000
constexpr std::size_t kRecentLinesV1Size = 3500;

static_assert(kSignatureSize + 4 + kReservedHeaderSize + kVersionTextWidth + 2 * kFileNameWidth +
                  kProgrammerStateSize + kCommLogSettingsSize + 2 * kPrinterSettingsSize +
                  kColumnWidthsSize + kSettingsBlockSize + kRecentLinesSize +
                  kFormatSlots * kTagFormatDataSize + kSignatureSize ==
              kOptionsFileSize);

// Reads the file front to back. A block that the bytes end inside keeps what
// was read over its current (default) value; blocks past the end keep their
// defaults.
class Reader {
public:
    Reader(const uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    // Copies up to `size` bytes over `dst`; returns how many were there.
    std::size_t Take(uint8_t* dst, std::size_t size) {
        std::size_t k = std::min(size, n_ - pos_);
        if (k) std::memcpy(dst, p_ + pos_, k);
        pos_ += k;
        return k;
    }
    bool AtEnd() const { return pos_ >= n_; }
private:
    const uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

template <std::size_t N>
std::string TakeText(Reader& r, const std::string& current) {
    char buf[N];
    CopyFixed(buf, N, current);
    r.Take(reinterpret_cast<uint8_t*>(buf), N);
    buf[N - 1] = '\0';
    return std::string(FixedView(buf, N));
}

std::vector<uint8_t> RecentLinesBytes(AEIData& data) {
    std::vector<uint8_t> out(kRecentLinesSize, 0);
    for (int i = 0; i < kRecentTagLines; ++i) {
        std::string line = data.GetRecentTagLine(i);
        bytes::PutText(out.data(), kRecentTagLineWidth * static_cast<std::size_t>(i), line.c_str(),
                       kRecentTagLineWidth);
    }
    return out;
}

void GetColumnWidths(AEIData& data, ColumnWidths& w) {
    for (int set = 0; set < kColumnSets; ++set)
        for (int col = 0; col < kColumnsPerSet; ++col) w[set][col] = data.GetColumnWidth(set, col);
}

// Values from the file that index a table are brought back into their table,
// so a damaged file never sends a later user outside one: the current format
// (0..39), the background colour (0..19), the programmer model (0..2), the
// reader and programmer ports (0..3 or none) and each format's Default Tag
// (0..19). Slots 6 to 39 are never system slots, and a Defined flag other than
// 1 marks a free slot.
// A flag byte is on when it is not 0; it is kept as 1 so that every reader
// of the flag sees the same thing.
void NormaliseFlag(uint8_t& flag) { flag = flag != 0 ? 1 : 0; }

void KeepLoadedValuesInRange(AEIData& data) {
    SettingsBlock s = data.GetSettings();
    for (uint8_t* flag : {&s.soundOn, &s.labelPrintingOn, &s.feetInches, &s.logFileOn, &s.umlerWindowShown,
                          &s.tagLogWindowShown, &s.programmedByEntry, &s.autoRfCheck, &s.autoUmlerCheck,
                          &s.reconditionCheck, &s.importWindowShown})
        NormaliseFlag(*flag);
    if (s.currentFormat >= kFormatSlots) s.currentFormat = 0;
    if (s.backgroundColor < 0 || s.backgroundColor >= kBackgroundColors) s.backgroundColor = 0;
    if (s.programmerModel > 2) s.programmerModel = 2;
    if (s.readerPort > 3 && s.readerPort != 255) s.readerPort = 255;
    data.UpdateSettings(s);

    ProgrammerState p = data.GetProgrammerRecord();
    if (p.port < -1 || p.port > 3) p.port = -1;
    NormaliseFlag(p.on);
    NormaliseFlag(p.searchStarted);
    NormaliseFlag(p.searchRequested);
    data.UpdateProgrammerRecord(p);

    for (int i = kSystemSlots; i < kFormatSlots; ++i) {
        TagFormatData f = data.GetTagFormatData(i);
        if (f.defined != 1) f.defined = 0;
        f.systemSlot = 0;
        if (f.defaultTag >= kTagTypeSlots) f.defaultTag = 0;
        data.UpdateTagFormatData(i, f);
    }
}

// Loads over the defaults already in force.
int LoadFromBytes(AEIData& data, const uint8_t* bytes, std::size_t size) {
    if (size < kSignatureSize || std::memcmp(bytes, kOptionsSignature, kSignatureSize) != 0) return 1;
    Reader r(bytes + kSignatureSize, size - kSignatureSize);

    uint8_t word[4] = {};
    if (r.Take(word, 4) < 4) return 0;
    const int32_t version = bytes::GetI32(word, 0);

    uint8_t reserved[kReservedHeaderSize];
    r.Take(reserved, sizeof reserved);
    data.SetVersionText(TakeText<kVersionTextWidth>(r, data.VersionText()));
    data.SetTagLogFileName(TakeText<kFileNameWidth>(r, data.TagLogFileName()));
    data.SetImportTagFileName(TakeText<kFileNameWidth>(r, data.ImportTagFileName()));

    uint8_t buf[kTagFormatDataSize];
    SerializeProgrammerState(data.GetProgrammerRecord(), buf);
    if (r.Take(buf, kProgrammerStateSize)) data.UpdateProgrammerRecord(DeserializeProgrammerState(buf));

    SerializeCommLogSettings(data.GetCommLogSettings(), buf);
    if (r.Take(buf, kCommLogSettingsSize)) data.UpdateCommLogSettings(DeserializeCommLogSettings(buf));

    for (int which = 0; which < 2; ++which) {
        SerializePrinterSettings(data.GetPrinterSettings(which), buf);
        if (r.Take(buf, kPrinterSettingsSize))
            data.UpdatePrinterSettings(which, DeserializePrinterSettings(buf));
    }

    ColumnWidths widths;
    GetColumnWidths(data, widths);
    SerializeColumnWidths(widths, buf);
    if (r.Take(buf, kColumnWidthsSize)) {
        DeserializeColumnWidths(buf, widths);
        for (int set = 0; set < kColumnSets; ++set)
            for (int col = 0; col < kColumnsPerSet; ++col) data.UpdateColumnWidth(set, col, widths[set][col]);
    }

    SerializeSettings(data.GetSettings(), buf);
    if (r.Take(buf, kSettingsBlockSize)) data.UpdateSettings(DeserializeSettings(buf));

    std::vector<uint8_t> lines = RecentLinesBytes(data);
    if (r.Take(lines.data(), version == 1 ? kRecentLinesV1Size : kRecentLinesSize)) {
        for (int i = 0; i < kRecentTagLines; ++i) {
            const char* line = reinterpret_cast<const char*>(lines.data()) + kRecentTagLineWidth * i;
            data.UpdateRecentTagLine(i, FixedView(line, kRecentTagLineWidth - 1));
        }
    }

    if (version != 1) {
        const std::size_t recordSize = version == 2 ? kTagFormatDataV2Size : kTagFormatDataSize;
        for (int i = 0; i < kFormatSlots && !r.AtEnd(); ++i) {
            SerializeTagFormat(data.GetTagFormatData(i), buf);
            if (!r.Take(buf, recordSize)) break;
            // The older records end before this byte.
            if (version == 2) buf[997] = 0;
            data.UpdateTagFormatData(i, DeserializeTagFormat(buf, kTagFormatDataSize));
        }
    }
    // The closing signature is not compared.

    if (version < 4) {
        SettingsBlock s = data.GetSettings();
        s.programmerModel = 2;
        data.UpdateSettings(s);
    }
    return 0;
}

} // namespace

void SetOptionDefaults(AEIData& data) {
    SettingsBlock settings;
    settings.dayOfYear = data.GetClock().Now().dayOfYear;
    data.UpdateSettings(settings);
    data.UpdateProgrammerRecord(ProgrammerState{});
    data.UpdateCommLogSettings(CommLogSettings{});
    data.UpdatePrinterSettings(0, PrinterSettings{});
    data.UpdatePrinterSettings(1, PrinterSettings{});
    for (int set = 0; set < kColumnSets; ++set)
        for (int col = 0; col < kColumnsPerSet; ++col)
            data.UpdateColumnWidth(set, col, set == 0 && col == 2 ? 328 : 100);
    data.SetTagLogFileName("tag log.txt");
    data.SetImportTagFileName("import tag.txt");
    data.SetVersionText({});
    for (int i = 0; i < kRecentTagLines; ++i) data.UpdateRecentTagLine(i, {});
    data.ResetTagTypeList();
    data.ClearFormatTable();
    data.BuildBuiltInFormats();
}

int LoadOptionsFromBytes(AEIData& data, const uint8_t* bytes, std::size_t size) {
    SetOptionDefaults(data);
    if (bytes == nullptr) size = 0;
    int result = LoadFromBytes(data, bytes, size);
    if (result == 0) {
        KeepLoadedValuesInRange(data);
        // Slots 0 to 5 never come from the file.
        data.BuildBuiltInFormats();
    }
    return result;
}

int LoadOptions(AEIData& data, const std::string& path, std::string* problem) {
    SetOptionDefaults(data);
    std::string why;
    std::FILE* f = OpenRegularFile(path, "rb", &why);
    if (!f) {
        if (problem) *problem = why;
        // Something other than a file at the name is told; a missing file is not.
        if (!WriteTargetProblem(path).empty())
            data.GetOperator().MessageBox(kErrorCaption, why + " The program uses the default options.",
                                          MsgIcon::Stop, MsgButtons::Ok);
        return 3;
    }
    // Nothing past a version 4 file's size is ever read.
    std::vector<uint8_t> bytes(kOptionsFileSize);
    std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        if (problem) *problem = "cannot read \"" + path + "\"";
        return 3; // an unreadable file
    }
    return LoadOptionsFromBytes(data, bytes.data(), n);
}

std::vector<uint8_t> OptionsToBytes(AEIData& data) {
    std::vector<uint8_t> out(kOptionsFileSize, 0);
    uint8_t* p = out.data();
    std::size_t off = 0;
    std::memcpy(p + off, kOptionsSignature, kSignatureSize);
    off += kSignatureSize;
    bytes::PutI32(p, off, kOptionsFileVersion);
    off += 4 + kReservedHeaderSize;
    bytes::PutText(p, off, data.VersionText().c_str(), kVersionTextWidth);
    off += kVersionTextWidth;
    bytes::PutText(p, off, data.TagLogFileName().c_str(), kFileNameWidth);
    off += kFileNameWidth;
    bytes::PutText(p, off, data.ImportTagFileName().c_str(), kFileNameWidth);
    off += kFileNameWidth;
    SerializeProgrammerState(data.GetProgrammerRecord(), p + off);
    off += kProgrammerStateSize;
    SerializeCommLogSettings(data.GetCommLogSettings(), p + off);
    off += kCommLogSettingsSize;
    for (int which = 0; which < 2; ++which) {
        SerializePrinterSettings(data.GetPrinterSettings(which), p + off);
        off += kPrinterSettingsSize;
    }
    ColumnWidths widths;
    GetColumnWidths(data, widths);
    SerializeColumnWidths(widths, p + off);
    off += kColumnWidthsSize;
    SerializeSettings(data.GetSettings(), p + off);
    off += kSettingsBlockSize;
    std::vector<uint8_t> lines = RecentLinesBytes(data);
    std::memcpy(p + off, lines.data(), lines.size());
    off += kRecentLinesSize;
    for (int i = 0; i < kFormatSlots; ++i) {
        SerializeTagFormat(data.GetTagFormatData(i), p + off);
        off += kTagFormatDataSize;
    }
    std::memcpy(p + off, kOptionsSignature, kSignatureSize);
    return out;
}

int SaveOptions(AEIData& data, const std::string& path, std::string* problem) {
    std::vector<uint8_t> image = OptionsToBytes(data);
    std::string why;
    if (!ReplaceFileContents(path, image.data(), image.size(), &why)) {
        if (problem) *problem = why;
        // Something other than a file at the name is named; it stays as it is.
        const bool refused = !WriteTargetProblem(ResolveFileTarget(path)).empty();
        data.GetOperator().MessageBox(kErrorCaption,
                                      refused ? why + " The options were not saved."
                                              : std::string("Could not open or create the Option File!"),
                                      MsgIcon::Stop, MsgButtons::Ok);
        return 3;
    }
    return 0;
}

std::string OptionsFilePath(const AEIData& data) {
    return data.StartDirectory() + kOptionsFileName;
}

} // namespace velmora
