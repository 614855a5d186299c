// What the programmer link needs from the desktop frame: the status bar's
// programmer field, the modeless search message, the connection status
// dialog and a fresh tag window after a model change. Every call has a
// do-nothing default, so tools and tests override only what they watch.
#pragma once

#include <string>

namespace velmora {

class ProgrammerLinkUi {
public:
    virtual ~ProgrammerLinkUi() = default;

    // The status bar's programmer field ("Programmer is ON Comm 1").
    virtual void SetProgrammerStatus(const std::string& text) { (void)text; }

    // The modeless programmer search message window.
    virtual void OpenSearchMessage(const std::string& text) { (void)text; }
    virtual bool SearchMessageOpen() const { return false; }
    virtual void SetSearchMessageText(const std::string& text) { (void)text; }
    virtual void CloseSearchMessage() {}

    // "AEI Tag Programmer & Reader Connection Status", modal, display only.
    virtual void ShowConnectionStatus() {}

    // ReplaceTagWindow: a fresh tag window after the formats changed.
    virtual void ReplaceTagWindow() {}
};

} // namespace velmora
