// The label tests' pieces: the GUI application painting needs, the last tag
// a label is made of, what pdftotext and pdfinfo read back.
#pragma once

#include "TestSupport.h"

#include "data/AEIData.h"
#include "print/LabelLayout.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace velmora::test {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char arg0[] = "test_qt";
    static char* argv[] = {arg0, nullptr};
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QGuiApplication(argc, argv); // kept for the whole run
}

// A scratch start directory and the data of 24 October 2018, 13:05:42, with the GUI application painting needs.
class LabelRig : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
    LabelRig() {
        clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297};
        data.SetStartDirectory(dir.path().string() + "/");
    }
    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
};

inline void SetLastTag(AEIData& data, int format, const std::vector<std::string>& texts, bool certify = false,
                       bool reconditioned = false, const char* tagType = "AT5118") {
    LastTagRecord r;
    r.formatIndex = static_cast<uint8_t>(format);
    for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
    r.rfResult = kRfOk;
    r.certify = certify;
    r.reconditioned = reconditioned;
    r.SetTagType(tagType);
    data.UpdateLastTagRecord(r);
}

// The words of the lines, sorted, joined by one blank: what a page says
// whatever the order a PDF reader finds its lines in.
inline std::string Words(const std::string& lines) {
    std::istringstream in(lines);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    std::sort(words.begin(), words.end());
    std::string joined;
    for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
    return joined;
}
inline std::string Words(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return Words(all);
}
// The last tag's label as the layout says it (its texts need no font metrics).
inline std::string LayoutWords(AEIData& data) { return Words(BuildLabelLayout(MakeLabelInput(data), {}).Texts()); }
inline std::string PdfWords(const std::string& path) {
    return Words(RunProgram("pdftotext", "-layout " + ShellQuote(path) + " -", "/").out);
}

// The page's width and height in points.
inline std::pair<double, double> PdfPageSize(const std::string& path) {
    const std::string out = RunProgram("pdfinfo", ShellQuote(path), "/").out;
    const auto at = out.find("Page size:");
    double w = 0, h = 0;
    if (at != std::string::npos) std::sscanf(out.c_str() + at, "Page size: %lf x %lf", &w, &h);
    return {w, h};
}

} // namespace velmora::test
