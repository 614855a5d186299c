// velmora-tool formats | encode | decode
#include "FrameArgs.h"
#include "ToolCommon.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <cctype>
#include <cstdio>
#include <iostream>

namespace velmora::tool {
namespace {

constexpr int kExitNotIdentified = 3;

int RunFormats(std::vector<std::string>& args) {
    DataArgs da = TakeDataArgs(args);
    CheckNoArguments(args);
    ToolData td(da);
    for (int i = 0; i < kFormatSlots; ++i) {
        TagFormatData f = td.data().GetTagFormatData(i);
        if (!f.defined) continue;
        std::cout << i << '\t' << f.Name() << "\tequipment=" << int(f.equipmentGroupCode)
                  << "\tformat=" << int(f.dataFormatCode) << "\ttag-type=" << int(f.tagTypeCode) << '\n';
    }
    return kExitOk;
}

int RunEncode(std::vector<std::string>& args) {
    DataArgs da = TakeDataArgs(args);
    ToolData td(da);
    TagArgs t = TakeTagArgs(args, td.data());

    if (!FieldValuesPass(t, td.FeetInches())) return kExitValueCheck;
    for (auto& s : t.texts) s = UpperAscii(s);
    BuiltFrame frame = BuildTagFrame(t.format, t.texts, td.FeetInches(), td.HalfFrame());
    std::cout << frame.frameText << '\n' << ShowRawData(frame.bits) << '\n';
    return kExitOk;
}

// A frame text is exactly the frame's hexadecimal digits, nothing more.
void CheckFrameText(const std::string& text, bool halfFrame) {
    const auto want = static_cast<std::size_t>(halfFrame ? kHalfFrameDigits : kFrameDigits);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            throw UsageError{"the frame text has a character that is not a hexadecimal digit at position " +
                             std::to_string(i + 1) + "; give " + std::to_string(want) + " hexadecimal digits"};
    }
    if (text.size() != want)
        throw UsageError{"the frame text has " + std::to_string(text.size()) + " digits; give exactly " +
                         std::to_string(want) + " hexadecimal digits" + (halfFrame ? " (half frame)" : "")};
}

int RunDecode(std::vector<std::string>& args) {
    DataArgs da = TakeDataArgs(args);
    RejectUnknownOptions(args);
    if (args.size() != 1) throw UsageError{"decode takes one frame text"};
    ToolData td(da);
    CheckFrameText(args[0], td.HalfFrame());
    DecodedFrame d = DecodeTagFrame(td.data(), args[0], td.HalfFrame(), td.Region(), td.FeetInches());
    if (!d.identified) {
        std::cerr << "not identified\n";
        return kExitNotIdentified;
    }
    PrintDecodedFields(td.data(), d);
    return kExitOk;
}

const Registrar regFormats("formats", std::string("velmora-tool formats ") + kDataArgsUsage, RunFormats);
const Registrar regEncode("encode",
                          std::string("velmora-tool encode --format NAME ") + kDataArgsUsage +
                              " \"Field Name=value\" ...",
                          RunEncode);
const Registrar regDecode("decode", std::string("velmora-tool decode HEX ") + kDataArgsUsage, RunDecode);

} // namespace
} // namespace velmora::tool
