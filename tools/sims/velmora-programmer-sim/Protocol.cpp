#include "Protocol.h"

namespace velmora::sim {

namespace {
constexpr std::size_t kFullDigits = 30;
constexpr std::size_t kHalfDigits = 15;
}

std::vector<std::string> CommandAssembler::Feed(std::string_view bytes) {
    std::vector<std::string> lines;
    for (char c : bytes) {
        if (c == '\r') {
            if (!line_.empty()) lines.push_back(line_);
            line_.clear();
        } else if (c != '\n' && line_.size() < kMaxLine) {
            line_ += c;
        }
    }
    return lines;
}

Reply ProgrammerProtocol::Answer(const std::string& command, const Behaviour& b, const TagStore& tags) {
    note_.clear();
    Reply r;
    r.echo = command;
    const bool half = IsHalfFrameModel(b.model);
    const std::string program = half ? "#204" : "#201";
    const std::string read = half ? "#214" : "#211";

    if (command == "#30") {
        r.lines.push_back("#Model " + b.model + " Ver " + b.version);
    } else if (command == "#40") {
        r.lines.push_back("#" + (b.statusCode.empty() ? lastCode_ : b.statusCode));
    } else if (command.compare(0, program.size(), program) == 0) {
        r.lines = Program(std::string_view(command).substr(program.size()), b, tags);
    } else if (command == read) {
        r.lines = Read(b, tags);
    } else {
        r.lines = Fail("01", "illegal command for an " + b.model);
    }
    return r;
}

std::vector<std::string> ProgrammerProtocol::Program(std::string_view digits, const Behaviour& b,
                                                     const TagStore& tags) {
    const bool half = IsHalfFrameModel(b.model);
    // The link sends the full 30-digit frame text to every model; the
    // half-frame model also takes just the 15 digits it writes.
    bool valid = IsFrameDigits(digits, kFullDigits) || (half && IsFrameDigits(digits, kHalfDigits));
    if (!valid) return Fail("02", "invalid tag data: need 30 upper-case hexadecimal digits");
    if (b.noTag) return Fail("03", "no tag on the programmer");

    std::string written(digits);
    if (half) written = written.substr(0, kHalfDigits);  // a half-frame tag holds bits 0 to 59 only
    std::string stored = written;
    stored.resize(kFullDigits, '0');
    std::string problem;
    if (!tags.Save(stored, problem)) return Fail("03", problem);

    lastCode_ = "00";
    note_ = "tag programmed: " + stored;
    std::vector<std::string> lines;
    if (b.programData) lines.push_back("#" + written);
    lines.push_back("#Done");
    return lines;
}

std::vector<std::string> ProgrammerProtocol::Read(const Behaviour& b, const TagStore& tags) {
    if (b.noTag) return Fail("03", "no tag on the programmer");
    std::string problem;
    auto tag = tags.Load(problem);
    if (!tag) return Fail("03", problem);
    lastCode_ = "00";
    note_ = "tag read: " + *tag;
    std::string data = IsHalfFrameModel(b.model) ? tag->substr(0, kHalfDigits) : *tag;
    return {"#" + data, "#Done"};
}

std::vector<std::string> ProgrammerProtocol::Fail(const char* code, std::string note) {
    lastCode_ = code;
    note_ = std::move(note);
    return {"#Error"};
}

} // namespace velmora::sim
