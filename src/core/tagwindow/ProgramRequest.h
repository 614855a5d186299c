// The one preparation of a program request, shared by the Program Tag
// workflow, the command line and the import list: from a format and typed
// texts to a checked tag record and its frame. The value check, the upper
// case, the UMLER comparison, the questions about unusual values, the WABTEC
// parts list rules, the record of the attempt, the frame and the same-data
// question, in that order. What the caller does with a refusal (a message
// box, a prompt, a line on stderr) and the hand-over to the programmer stay
// with the caller.
#pragma once

#include "data/LastTagRecord.h"
#include "tagdata/TagFormatData.h"
#include "tagdata/TagFrame.h"
#include "tagdata/ValueCheck.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;

// The texts of one tag as typed.
struct ProgramRequestInput {
    int formatIndex = 0;
    FieldTexts texts{};                        // per row, as typed (cut to 30 characters)
    std::array<bool, kFieldRows> hasControl{}; // the rows the form gives a control
    std::string tagType;                       // the tag type list's text
    bool certify = false;
    bool feetInches = true;
    bool halfFrame = false;
};

// Who answers the preparation's questions.
class ProgramQuestions {
public:
    virtual ~ProgramQuestions() = default;
    // A Yes/No question; true goes on.
    virtual bool Ask(const std::string& question) = 0;
    // The comparison with the UMLER register (0 agrees, 1 not checked, 2
    // disagrees); asked only for railcar and locomotive formats when the
    // caller wants the check.
    virtual int CompareWithUmler(const LastTagRecord& record) {
        (void)record;
        return kUmlerNotChecked;
    }
};

enum class ProgramRequestOutcome {
    Ready,       // the record and the frame are ready to hand over
    FieldErrors, // the value check failed: check and message (the prompt text)
    Refused,     // a parts list rule failed: message (shown with the stop icon)
    Declined,    // a question was answered No: message is the question
};

struct ProgramRequest {
    ProgramRequestOutcome outcome = ProgramRequestOutcome::Refused;
    ValueCheckResult check;
    std::string message;
    LastTagRecord record; // texts upper case, parts list number, padded; frame text when Ready
    BuiltFrame frame;     // when the frame was built
};

// The checks that need no one to answer: the value check, the upper case and
// the WABTEC parts list rules. Ready means the record's texts may be framed.
ProgramRequest CheckProgramValues(AEIData& data, const TagFormatData& format,
                                  const ProgramRequestInput& in);

// The whole preparation. It stores the record of the attempt as the last tag
// record once the checks and the questions passed (also when the same-data
// question is then declined). checkUmler asks questions.CompareWithUmler for
// railcar and locomotive formats.
ProgramRequest PrepareProgramRequest(AEIData& data, const ProgramRequestInput& in, bool checkUmler,
                                     ProgramQuestions& questions);

// The six-digit EOT number from a typed number and the leading digit the parts
// list gives: a number of up to five digits gets the digit in front; a number
// of six digits is kept when it begins with that digit. Empty when the typed
// number cannot take the digit (six digits beginning otherwise, or more).
std::string EotNumberWithPrefix(std::string_view typed, int prefix);

// The refusal of a six-digit EOT number whose first digit is not the parts
// list's.
std::string EotNumberPrefixMessage(int prefix);

} // namespace velmora
