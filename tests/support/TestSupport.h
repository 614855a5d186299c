// Fakes shared by the unit tests: a scripted operator that records every
// text it is shown and answers questions from a script, a clock that moves
// only when told, a temporary folder removed after the test, file helpers
// and a runner for the programs built beside the tests.
#pragma once

#include "platform/Clock.h"
#include "platform/Operator.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

struct ShownBox {
    std::string caption;
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedOperator : public Operator {
public:
    // Answers given in order to Yes/No (and Ok/Cancel) boxes; when the script
    // runs out, Yes/No boxes are answered No and Ok boxes Ok.
    std::deque<MsgAnswer> answers;
    std::vector<ShownBox> boxes;
    std::vector<std::pair<std::string, int>> prompts;
    std::vector<int> notifications;

    MsgAnswer MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                         MsgButtons buttons) override {
        boxes.push_back({caption, text, icon, buttons});
        if (answers.empty())
            return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::No;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowPrompt(const std::string& text, int blink) override { prompts.emplace_back(text, blink); }
    void PostNotification(int code) override { notifications.push_back(code); }

    const ShownBox* LastBox() const { return boxes.empty() ? nullptr : &boxes.back(); }
    std::string LastPrompt() const { return prompts.empty() ? std::string() : prompts.back().first; }
};

class FakeClock : public Clock {
public:
    uint32_t seconds = 1000;
    LocalDateTime local{2026, 3, 14, 9, 26, 53, 73};
    uint32_t MonotonicSeconds() override { return seconds; }
    LocalDateTime Now() override { return local; }
    void Advance(uint32_t s) { seconds += s; }
};

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
std::string ReadFileText(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// One run of a built program: its exit status and both output streams.
struct CommandResult {
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};
// The path of a program built beside the tests ("velmora-tool", a simulator).
std::string BuiltProgram(const std::string& name);
// Runs `program` with `args` (already shell-quoted) in `workdir`, with no
// standard input.
CommandResult RunProgram(const std::string& program, const std::string& args, const std::string& workdir);
// Quotes one argument for the shell.
std::string ShellQuote(const std::string& arg);

} // namespace velmora::test
