// What the tag window needs from the frame that holds it.
#pragma once

#include <string>

namespace velmora {

class TagWindowHost {
public:
    virtual ~TagWindowHost() = default;
    // Builds a fresh tag window for the current format (ReplaceTagWindow).
    virtual void ReplaceTagWindow(bool certifyPending) = 0;
    // The prompt bar: whether it blinks, and the text last shown in it.
    virtual bool PromptBlinking() const = 0;
    virtual std::string PromptCopy() const = 0;
    // A menu command chosen from the window's popup menu.
    virtual void RunCommand(int commandId) = 0;
};

} // namespace velmora
