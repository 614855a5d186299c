// Converts the UMLER text extract into the data file, one 21-byte record per
// line, in the order of the lines. The extract is streamed in pieces of at
// most a few hundred kilobytes; memory use does not depend on its size.
//
// Lines end with CR, LF or CR LF. The records go to "<data file>.tmp" in the
// same directory, which is renamed over the data file only when the whole
// extract has been converted: a load that fails or is interrupted leaves the
// previous register as it was. An empty extract still replaces it (with an
// empty register). A symbolic link at the data file's name is followed;
// anything else that is not a regular file is refused and left alone.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace velmora {

enum class UmlerLoadStatus {
    Ok,
    CannotOpenExtract, // "Could not open UMLER text file."
    CannotCreateData,  // "Could not create UMLER data file."
    ReadFailed,        // the extract could not be read to its end
    WriteFailed,       // the data file could not be written, flushed or renamed into place
    Interrupted,       // the progress callback asked to stop
};

struct UmlerLoadResult {
    UmlerLoadStatus status = UmlerLoadStatus::Ok;
    uint64_t recordsWritten = 0;
    // Lines whose vehicle sorts before the vehicle of the line above them.
    // Lookups search the register in key order, so any such line can make
    // vehicles impossible to find.
    uint64_t linesOutOfOrder = 0;
    uint64_t blankLinesSkipped = 0;
    // Lines without a vehicle initial of letters and a number of digits in
    // their columns: their records can never be looked up.
    uint64_t linesWithoutKey = 0;
    std::string systemError; // the operating system's reason, when there is one

    bool Ok() const { return status == UmlerLoadStatus::Ok; }
};

// Called with the share of the extract read so far in whole percents: 0 at
// the start, then each new value in ascending order, 100 at the end of a
// complete read. Returning false stops the load (status Interrupted).
using UmlerProgress = std::function<bool(int percent)>;

// The conversion itself, between two open streams: `inputSize` is the
// extract's size in bytes for the percentages (0 when unknown). Checks every
// read and write; does not close the streams. The extract is read in pieces
// of whole lines; an extract of a few megabytes or more is converted by a
// second thread as well, while this one reads and writes (the progress
// callback is only ever called on the caller's thread).
UmlerLoadResult ConvertUmlerExtract(std::FILE* in, std::FILE* out, uint64_t inputSize,
                                    const UmlerProgress& progress);

// Loads the extract at `extractPath` into the data file `dataPath`.
UmlerLoadResult LoadUMLER(const std::string& extractPath, const std::string& dataPath,
                          const UmlerProgress& progress = {});

// The temporary file a load writes before the rename.
std::string UmlerTempPath(const std::string& dataPath);

// What the operator is told when a load ends: the failure, or the counts of
// lines without a vehicle key and of lines out of order; empty for a clean
// load (no message on success).
std::string UmlerLoadMessage(const UmlerLoadResult& result);

} // namespace velmora
