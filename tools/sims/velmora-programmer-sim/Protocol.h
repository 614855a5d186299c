// The programmer's command protocol: commands are lines ending in a carriage
// return; every command is echoed, then answered with lines ending CR LF.
//
//   "#30"               probe     -> "#Model <model> Ver <version>"
//   "#40"               status    -> "#<code>", code of the last operation ("00" = fine)
//   "#201<30 digits>"   program   (full-frame models)  -> ["#<digits>"] "#Done" | "#Error"
//   "#204<30 digits>"   program   (AP4112, half frame) -> ["#<15 digits>"] "#Done" | "#Error"
//   "#211"              read      (full-frame models)  -> "#<30 digits>" "#Done" | "#Error"
//   "#214"              read      (AP4112)             -> "#<15 digits>" "#Done" | "#Error"
//
// Anything else is an illegal command: "#Error", and the next status is "01".
#pragma once

#include "Behaviour.h"
#include "TagStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::sim {

// Cuts received bytes into command lines at carriage returns; line feeds are
// ignored and empty lines dropped. A line is kept to its first 256 bytes.
class CommandAssembler {
public:
    static constexpr std::size_t kMaxLine = 256;
    std::vector<std::string> Feed(std::string_view bytes);
    void Reset() { line_.clear(); }

private:
    std::string line_;
};

struct Reply {
    std::string echo;                // the command as received, without line end
    std::vector<std::string> lines;  // answer lines, without line ends
};

class ProgrammerProtocol {
public:
    // Notes from the last command for the log (why an "#Error" was given).
    const std::string& Note() const { return note_; }
    const std::string& LastCode() const { return lastCode_; }

    Reply Answer(const std::string& command, const Behaviour& behaviour, const TagStore& tags);

private:
    std::vector<std::string> Program(std::string_view digits, const Behaviour& b, const TagStore& tags);
    std::vector<std::string> Read(const Behaviour& b, const TagStore& tags);
    std::vector<std::string> Fail(const char* code, std::string note);

    std::string lastCode_ = "00";
    std::string note_;
};

} // namespace velmora::sim
