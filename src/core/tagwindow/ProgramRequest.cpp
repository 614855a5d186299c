#include "tagwindow/ProgramRequest.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "tagwindow/FormValues.h"

#include <cstdio>

namespace velmora {

namespace {

constexpr const char* kUmlerQuestion =
    "Some fields are in disagreement with the vehicle's UMLER data.  Do you want to continue "
    "programming the tag?";
constexpr const char* kBearingQuestion =
    "It is unusual to have a bearing code that is not \"1\". Do you want to continue programming "
    "the tag?";
constexpr const char* kPlatformQuestion =
    "Most cars are not articulated and, therefore, do not have multiple platforms. If this is "
    "not an articulated car in should have a platform code of \"0\".  Do you want to continue "
    "programming the tag?";
constexpr const char* kAxlesQuestion =
    "The number of axles to you want to program into the tag is unusual.  Please check.  Do you "
    "want to continue programming the tag?";
constexpr const char* kSameDataQuestion =
    "You are programming a tag with the same data as the last tag you programmed.  Do you want "
    "to continue?";

FieldTexts TextsOf(const LastTagRecord& r) {
    FieldTexts t;
    for (int row = 0; row < kFieldRows; ++row) t[static_cast<std::size_t>(row)] = std::string(r.FieldText(row));
    return t;
}

// The text of the row with that starting bit; empty when the format has none.
std::string TextAtBit(const TagFormatData& f, const LastTagRecord& r, int bit) {
    return std::string(r.FieldText(FindRowByStartBit(f, bit)));
}

// The texts as the frame holds them: ASCII texts padded with blanks and hex
// texts with zeros to the field's characters, base-27 texts to the width of
// their Maximum; longer texts cut there.
void PadRecordTexts(const TagFormatData& f, LastTagRecord& r) {
    const int rows = f.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (f.IsContinuation(row)) continue;
        int bits = f.length[row] == kNotSet ? 0 : f.length[row];
        if (row + 1 < rows && f.IsContinuation(row + 1) && f.length[row + 1] != kNotSet)
            bits += f.length[row + 1];
        std::size_t width = 0;
        char pad = ' ';
        switch (f.type[row]) {
        case kTypeAscii: width = static_cast<std::size_t>(bits / 6); break;
        case kTypeHex: width = static_cast<std::size_t>(bits / 4); pad = '0'; break;
        case kTypeAlpha27: width = f.Maximum(row).size(); break;
        default: continue;
        }
        if (width == 0 || width >= kRecordFieldTextWidth) continue;
        std::string text(r.FieldText(row));
        text.resize(width, pad);
        r.SetFieldText(row, text);
    }
}

ProgramRequest Stop(ProgramRequest r, ProgramRequestOutcome outcome, std::string message) {
    r.outcome = outcome;
    r.message = std::move(message);
    return r;
}

// The parts list rules of an "EOT WABTEC" format; an empty text when they
// pass (the record then holds the six-digit number), else the refusal.
std::string ApplyPartsList(AEIData& data, LastTagRecord& record) {
    const std::string type(record.TagType());
    if (type != "AT5541" && type != "AT5545") return "The tag type must be either \"AT5541\" or \"AT5545\".";
    std::string mark(record.FieldText(0));
    if (mark.size() < 4) mark.resize(4, ' ');
    const int index = data.FindWABTEC(mark, type == "AT5541" ? 1 : 0);
    if (index < 0) return "The EOT Initial you entered is not on WABTEC's parts list.  Please check.";
    const WABTECData entry = data.GetWABTECData(index);
    char buf[200];
    if (LeadingInteger(record.FieldText(2)) != entry.eotTypeCode) {
        std::snprintf(buf, sizeof buf,
                      "The EOT Type Code you entered does not match WABTEC's parts list.  The correct "
                      "EOT Type should be \"%d\".",
                      static_cast<int>(entry.eotTypeCode));
        return buf;
    }
    const int side = record.FieldText(3) == "RIGHT" ? 1 : 0;
    if (side != entry.sideCode) {
        std::snprintf(buf, sizeof buf,
                      "The EOT Side Code you entered does not match WABTEC's parts list.  The correct "
                      "Side Code should be \"%s\"",
                      entry.sideCode == 1 ? "RIGHT" : "LEFT");
        return buf;
    }
    const int prefix = entry.numberPrefix % 10;
    const std::string number = EotNumberWithPrefix(record.FieldText(1), prefix);
    if (number.empty()) return EotNumberPrefixMessage(prefix);
    record.SetFieldText(1, number);
    return {};
}

// The texts into a new record (rows with a control only), the value check and
// the upper case; the tag type.
ProgramRequest ValuesIntoRecord(const TagFormatData& format, const ProgramRequestInput& in) {
    ProgramRequest r;
    LastTagRecord& record = r.record;
    record.readFlag = 0;
    record.formatIndex = static_cast<uint8_t>(in.formatIndex);
    record.certify = in.certify ? 1 : 0;
    record.rfResult = kRfNotChecked;
    record.umlerResult = kUmlerNotChecked;
    const int rows = format.RowCount();
    for (int row = 0; row < rows; ++row)
        if (in.hasControl[static_cast<std::size_t>(row)])
            record.SetFieldText(row, in.texts[static_cast<std::size_t>(row)]);

    r.check = CheckFieldValues(format, TextsOf(record), in.hasControl, in.feetInches);
    if (r.check.anyError)
        return Stop(std::move(r), ProgramRequestOutcome::FieldErrors, FieldErrorText(format, r.check));

    for (int row = 0; row < kFieldRows; ++row) record.SetFieldText(row, UpperAscii(record.FieldText(row)));
    std::string tagType = in.tagType;
    if (tagType.size() > 10) tagType.resize(10);
    record.SetTagType(tagType);
    r.outcome = ProgramRequestOutcome::Ready;
    return r;
}

} // namespace

std::string EotNumberWithPrefix(std::string_view typed, int prefix) {
    std::size_t i = 0;
    while (i < typed.size() && (typed[i] == ' ' || typed[i] == '\t')) ++i;
    if (i < typed.size() && typed[i] == '+') ++i;
    std::size_t end = i;
    while (end < typed.size() && typed[end] >= '0' && typed[end] <= '9') ++end;
    std::string_view digits = typed.substr(i, end - i);
    // Zeros in front of six digits add nothing.
    while (digits.size() > 6 && digits.front() == '0') digits.remove_prefix(1);
    if (prefix < 0 || prefix > 9 || digits.size() > 6) return {};
    if (digits.size() == 6) return digits.front() == char('0' + prefix) ? std::string(digits) : std::string();
    std::string number(1, char('0' + prefix));
    number.append(5 - digits.size(), '0');
    number.append(digits);
    return number;
}

std::string EotNumberPrefixMessage(int prefix) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "The EOT Number you entered must begin with \"%d\" as on WABTEC's parts list, or "
                  "have five digits only.  Please check.",
                  prefix);
    return buf;
}

ProgramRequest CheckProgramValues(AEIData& data, const TagFormatData& format,
                                  const ProgramRequestInput& in) {
    ProgramRequest r = ValuesIntoRecord(format, in);
    if (r.outcome != ProgramRequestOutcome::Ready) return r;
    if (IsEotWabtecFormat(format)) {
        std::string refusal = ApplyPartsList(data, r.record);
        if (!refusal.empty()) return Stop(std::move(r), ProgramRequestOutcome::Refused, std::move(refusal));
    }
    PadRecordTexts(format, r.record);
    return r;
}

ProgramRequest PrepareProgramRequest(AEIData& data, const ProgramRequestInput& in, bool checkUmler,
                                     ProgramQuestions& questions) {
    const TagFormatData format = data.GetTagFormatData(in.formatIndex);
    if (format.defined != 1) return Stop(ProgramRequest{}, ProgramRequestOutcome::Refused, {});

    ProgramRequest r = ValuesIntoRecord(format, in);
    if (r.outcome != ProgramRequestOutcome::Ready) return r;
    LastTagRecord& record = r.record;

    // The register, for railcars and locomotives only.
    if (checkUmler && IsRailcarOrLocomotiveFormat(format)) {
        record.umlerResult = questions.CompareWithUmler(record);
        if (record.umlerResult == kUmlerDisagrees && !questions.Ask(kUmlerQuestion))
            return Stop(std::move(r), ProgramRequestOutcome::Declined, kUmlerQuestion);
    }

    // Unusual but legal values.
    if (IsRailcarOrLocomotiveFormat(format)) {
        const int32_t axles = LeadingInteger(TextAtBit(format, record, kBitAxles));
        const int32_t bearing = LeadingInteger(TextAtBit(format, record, kBitBearing));
        if (bearing != 1 && !questions.Ask(kBearingQuestion))
            return Stop(std::move(r), ProgramRequestOutcome::Declined, kBearingQuestion);
        if (format.equipmentGroupCode == kGroupRailcar) {
            const int32_t platform = LeadingInteger(TextAtBit(format, record, kBitPlatform));
            if (platform != 0 && platform != -1 && !questions.Ask(kPlatformQuestion))
                return Stop(std::move(r), ProgramRequestOutcome::Declined, kPlatformQuestion);
        }
        if ((axles == 1 || axles == 3 || axles == 5) && !questions.Ask(kAxlesQuestion))
            return Stop(std::move(r), ProgramRequestOutcome::Declined, kAxlesQuestion);
    }

    // The WABTEC parts list.
    if (IsEotWabtecFormat(format)) {
        std::string refusal = ApplyPartsList(data, record);
        if (!refusal.empty()) return Stop(std::move(r), ProgramRequestOutcome::Refused, std::move(refusal));
    }

    // The record of this attempt, then the frame.
    PadRecordTexts(format, record);
    data.UpdateLastTagRecord(record);
    r.frame = BuildTagFrame(format, TextsOf(record), in.feetInches, in.halfFrame);

    // The same data again, except right after a failed attempt.
    if (r.frame.frameText == data.GetLastProgrammedFrame() &&
        GetProgrammerState(data).operationResult != kResultProgramFailed &&
        !questions.Ask(kSameDataQuestion))
        return Stop(std::move(r), ProgramRequestOutcome::Declined, kSameDataQuestion);

    record.SetFrameText(r.frame.frameText);
    r.outcome = ProgramRequestOutcome::Ready;
    return r;
}

} // namespace velmora
