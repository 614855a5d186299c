// The portable reader's side of the line: STX/ETX frames from the host cut
// out of the received bytes, the SSP it answers an FSP with, and the tag
// readings it sends as CR LF lines.
//
//   host -> reader   STX "FSP" ETX             parameters, please
//   reader -> host   STX "ACK" ETX  STX "SSP..." ETX
//   host -> reader   STX "ACK" ETX             (or STX "NAK" ETX 0 0 0: the reader sends again)
//   reader -> host   "ABCD 123456,19,L,150,4,1,0" CR LF   a tag read by the operator
//
// SSP layout (characters counted from 0): "SSP", the user ID (3-10), the date
// "MM/DD/YY" (11-18), a blank and the time "hh:mm:ss" (19-27), the battery
// level (28-30), the three battery alarm levels (31-33, 34-36, 37-39) and the
// firmware version (40 to the end).
#pragma once

#include "ReaderBehaviour.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::readersim {

inline constexpr char kSTX = 0x02;
inline constexpr char kETX = 0x03;

std::string Framed(std::string_view body);

// Cuts received bytes into frame texts: the bytes between the last STX and
// the next ETX. Bytes outside frames are dropped; a frame is kept to its
// first 256 bytes.
class FrameAssembler {
public:
    static constexpr std::size_t kMaxFrame = 256;
    std::vector<std::string> Feed(std::string_view bytes);
    void Reset() {
        inFrame_ = false;
        frame_.clear();
    }

private:
    bool inFrame_ = false;
    std::string frame_;
};

// The SSP text (without STX and ETX). `now` gives the date and time when the
// behaviour sets none; a broken date has "-" in place of its "/".
std::string BuildSsp(const ReaderBehaviour& b, bool brokenDate);
// "MM/DD/YY" and "hh:mm:ss" of the local time.
std::string TodayText();
std::string NowText();

// What a reading is made of, from the tag's 30 hexadecimal digits.
struct TagFields {
    std::string initial;   // 4 characters
    long number = 0;
    int group = 0;         // equipment group code
    bool full = false;     // a railcar (19) or locomotive (5): the reader shows all fields
    char side = 'L';
    long lengthDm = 0;
    long axles = 0;
    long bearing = 0;
    long platform = 0;     // railcars only
};
// Nothing, with the reason, when the frame is no tag the reader shows (no
// format with an equipment initial and number matches it).
std::optional<TagFields> DecodeTag(const std::string& digits, std::string& problem);

enum class ReadingKind { Normal, Old, WrongNumber, WrongLength };
// The reading line without its CR LF.
std::string BuildReading(const TagFields& tag, ReadingKind kind);

// Junk a bad cable produces, with a stray STX in it that no ETX follows.
std::string GarbageBytes();

} // namespace velmora::readersim
