// velmora-label: the label of one tag, written to a PDF exactly as the label
// printer's PDF output writes it. velmora-tool hands its "label" command to
// this program, which it finds beside itself, so that velmora-tool itself
// never loads Qt. Arguments, output, texts and exit codes are velmora-tool
// label's.
#include "FrameArgs.h"
#include "LabelUsage.h"
#include "ToolCommon.h"

#include "print/ExampleFormats.h"
#include "qt/TLabelPrinter.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

namespace velmora::tool {
namespace {

constexpr int kExitNotWritten = 3;

// The value of "--name VALUE" or "--name=VALUE", left in args.
std::optional<std::string> PeekOption(const std::vector<std::string>& args, const std::string& name) {
    const std::string flag = "--" + name;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == flag && i + 1 < args.size()) return args[i + 1];
        if (args[i].rfind(flag + "=", 0) == 0) return args[i].substr(flag.size() + 1);
    }
    return std::nullopt;
}

int RunLabel(std::vector<std::string>& args) {
    const bool reconditioned = TakeFlag(args, "reconditioned");
    const bool certify = TakeFlag(args, "certify") || reconditioned;
    int rf = kRfNotChecked;
    if (auto v = TakeOption(args, "rf")) {
        const long n = ParseNumberArg(*v, "--rf");
        if (n < 0 || n > 2) throw UsageError{"--rf takes 0 (not checked), 1 (RF Ok) or 2 (ID only)"};
        rf = static_cast<int>(n);
    }
    const auto tagType = TakeOption(args, "tag-type");
    const auto out = TakeOption(args, "out");
    const auto programmedBy = TakeOption(args, "programmed-by");
    DataArgs da = TakeDataArgs(args);
    ToolData td(da);
    AEIData& data = td.data();

    // "EOT WABTEC" and "Track Tag" are operator formats; when the options hold
    // none of that name the usual definition is used.
    if (auto name = PeekOption(args, "format"); name && data.FindTagFormatByName(*name) < 0) {
        if (auto example = ExampleFormat(*name)) {
            const int slot = data.FindFreeFormatSlot();
            if (slot >= 0) data.UpdateTagFormatData(slot, *example);
        }
    }
    TagArgs t = TakeTagArgs(args, data);

    std::string type = data.GetAchTagType(t.format.defaultTag < kTagTypeSlots ? t.format.defaultTag : 0);
    if (tagType) {
        if (data.FindTagType(*tagType) < 0) throw UsageError{"\"" + *tagType + "\" is not a tag type"};
        type = *tagType;
    }

    if (!FieldValuesPass(t, td.FeetInches())) return kExitValueCheck;

    // The record as the program-tag workflow leaves it: the texts of the rows
    // that have a control, in upper case, and the frame built from them.
    for (auto& s : t.texts) s = UpperAscii(s);
    LastTagRecord record;
    record.formatIndex = static_cast<uint8_t>(t.formatIndex);
    for (int r = 0; r < kFieldRows; ++r)
        if (t.format.IsShown(r)) record.SetFieldText(r, t.texts[r]);
    record.umlerResult = kUmlerNotChecked;
    record.rfResult = rf;
    record.certify = certify;
    record.reconditioned = reconditioned;
    record.SetTagType(type);
    record.SetFrameText(BuildTagFrame(t.format, t.texts, td.FeetInches(), td.HalfFrame()).frameText);
    data.UpdateLastTagRecord(record);

    SettingsBlock s = data.GetSettings();
    s.feetInches = td.FeetInches() ? 1 : 0;
    if (programmedBy) SetText(s.programmedByCompany, *programmedBy);
    data.UpdateSettings(s);

    // Painting needs a GUI application; without a display, the offscreen one.
    int argc = 1;
    char arg0[] = "velmora-tool";
    char* argv[] = {arg0, nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    TAEILabelPrintout printout(MakeLabelInput(data));
    LabelPrintResult result;
    if (out) {
        result = TLabelPrinter::PrintToPdf(printout, *out);
    } else {
        PrinterSettings pdf;
        SetText(pdf.device, TLabelPrinter::kPdfFileDevice);
        TLabelPrinter printer(pdf, "");
        result = printer.Print(printout);
    }
    if (!result.done) {
        std::cerr << "velmora-tool: the label was not written: " << result.reason << '\n';
        return kExitNotWritten;
    }
    std::cout << result.pdfPath << '\n';
    return kExitOk;
}

} // namespace
} // namespace velmora::tool

int main(int argc, char** argv) {
    using namespace velmora::tool;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "velmora-label " << VELMORA_VERSION << "\n";
        return kExitOk;
    }
    if (args.size() == 1 && args[0] == "--help") {
        std::cout << "velmora-label: writes the label of one tag as a PDF file; velmora-tool label runs it.\n"
                  << "usage:\n" << LabelUsage() << "\n";
        return kExitOk;
    }
    try {
        return RunLabel(args);
    } catch (const UsageError& e) {
        std::cerr << "velmora-tool: " << e.message << "\n" << "usage:\n" << LabelUsage() << "\n";
        return kExitUsage;
    }
}
