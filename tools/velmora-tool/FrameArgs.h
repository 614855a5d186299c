// The arguments shared by the subcommands that work on one tag: the format,
// the length units, half-frame mode, the market region, an options file and
// the "Field Name=value" texts.
//
//   --format NAME  --decimeters  --half-frame  --region north-america|sara|australia
//   --options FILE  "Field Name=value" ...
#pragma once

#include "data/AEIData.h"
#include "tagdata/TagFrame.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::tool {

// The options that set up the application data (everything but the format and
// the field texts).
struct DataArgs {
    bool decimeters = false;
    bool halfFrame = false;
    int32_t region = kRegionNorthAmerica;
    std::string optionsFile; // empty: defaults
};

// Takes --decimeters, --half-frame, --region and --options out of args.
DataArgs TakeDataArgs(std::vector<std::string>& args);

// An application data object set up from DataArgs; owns its operator and clock.
class ToolData {
public:
    explicit ToolData(const DataArgs& a); // throws UsageError when the options file is unusable
    AEIData& data() { return *data_; }
    bool FeetInches() const { return !decimeters_; }
    bool HalfFrame() const { return data_->HalfFrameMode(); }
    int32_t Region() const { return data_->MarketRegion(); }

private:
    SilentOperator op_;
    SystemClock clock_;
    std::unique_ptr<AEIData> data_;
    bool decimeters_ = false;
};

struct TagArgs {
    int formatIndex = -1;
    TagFormatData format;
    FieldTexts texts; // per row; unset rows get the row's default text
};

// Takes --format NAME and the remaining "Field Name=value" arguments (all of
// args is consumed). A split field is given once, by its name. Unknown format
// or field names are usage errors.
TagArgs TakeTagArgs(std::vector<std::string>& args, AEIData& data);

// The exit code of a failed value check.
inline constexpr int kExitValueCheck = 2;

// The value check of the tag's field texts; prints the errors and returns
// false when any field is wrong.
bool FieldValuesPass(const TagArgs& t, bool feetInches);

// Prints a decoded frame as "decode" shows it: the format name, then one
// "Field Name=value" line per shown field.
void PrintDecodedFields(AEIData& data, const DecodedFrame& decoded);

// The common usage text of these options.
inline constexpr const char* kDataArgsUsage =
    "[--decimeters] [--half-frame] [--region north-america|sara|australia] [--options FILE]";

} // namespace velmora::tool
