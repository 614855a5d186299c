// The label tests' shared pieces: the GUI application painting needs, and
// what pdftotext and pdfinfo read back from a PDF.
#pragma once

#include "TestSupport.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char arg0[] = "test_qt";
    static char* argv[] = {arg0, nullptr};
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication* app = new QGuiApplication(argc, argv); // kept for the whole run
    (void)app;
}

// The lines of text on the page, each as its words joined by one blank.
inline std::vector<std::string> PdfLines(const std::string& path) {
    std::istringstream in(RunProgram("pdftotext", "-layout " + ShellQuote(path) + " -", "/").out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string word, joined;
        while (words >> word) joined += (joined.empty() ? "" : " ") + word;
        if (!joined.empty()) lines.push_back(joined);
    }
    return lines;
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
