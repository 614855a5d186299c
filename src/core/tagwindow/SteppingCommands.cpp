// The number-stepping commands on the equipment number (row 1) and the side
// (row 2) of a railcar or locomotive form, and the tag counter reset. Next
// and Previous step through consecutive vehicles, left side then right side.
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "tagwindow/FormValues.h"

#include <algorithm>
#include <cstdio>

namespace velmora {

namespace {

enum StepKind { kNext, kPrevious, kAdd10, kAdd100, kSubtract10, kSubtract100 };

constexpr int32_t kHighestNumber = 999999;
constexpr int kNumberRow = 1;
constexpr int kSideRow = 2;

} // namespace

void TagWorkflows::StepNumber(int kind) {
    const TagFormatData format = data_.GetTagFormatData(data_.GetSettings().currentFormat);
    if (!IsUmlerFormat(format)) {
        const bool forward = kind == kNext || kind == kAdd10 || kind == kAdd100;
        ShowError(forward ? "Next button can only be used when a locomotive or railcar tag format "
                            "is displayed."
                          : "Previous button can only be used when a locomotive or railcar tag "
                            "format is displayed.",
                  MsgIcon::Stop);
        FocusField(0);
        return;
    }

    int64_t number = LeadingInteger(FormText(kNumberRow, 9));
    const std::string side = FormText(kSideRow);
    std::string newSide = side;
    switch (kind) {
    case kNext:
        if (side == "LEFT") {
            newSide = "RIGHT";
        } else {
            ++number;
            newSide = "LEFT";
        }
        break;
    case kPrevious:
        if (side == "LEFT") {
            newSide = "RIGHT";
            --number;
        } else {
            newSide = "LEFT";
        }
        break;
    case kAdd10: number += 10; break;
    case kAdd100: number += 100; break;
    case kSubtract10: number -= 10; break;
    case kSubtract100: number -= 100; break;
    default: break;
    }
    number = std::clamp<int64_t>(number, 0, kHighestNumber);

    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(number));
    if (Control(kNumberRow) == FieldControl::Edit) form_->SetFieldText(kNumberRow, buf);
    if (newSide != side && Control(kSideRow) == FieldControl::SideList)
        form_->SetFieldText(kSideRow, newSide);
    FocusField(0);
}

void TagWorkflows::CmNextTag() { StepNumber(kNext); }
void TagWorkflows::CmPreviousTag() { StepNumber(kPrevious); }
void TagWorkflows::CmAdd10() { StepNumber(kAdd10); }
void TagWorkflows::CmAdd100() { StepNumber(kAdd100); }
void TagWorkflows::CmSubtract10() { StepNumber(kSubtract10); }
void TagWorkflows::CmSubtract100() { StepNumber(kSubtract100); }

void TagWorkflows::CmClearTagCounter() {
    ClearTagCounter(data_, &hooks_);
    FocusField(0);
}

} // namespace velmora
