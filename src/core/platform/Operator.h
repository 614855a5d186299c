// What the core needs from a person and a screen: message boxes, the prompt
// bar, the internal error trap and posted notifications. The desktop program
// implements it with widgets; tests use a scripted operator.
#pragma once

#include <string>

namespace velmora {

enum class MsgIcon { None, Information, Question, Exclamation, Stop };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class Operator {
public:
    virtual ~Operator() = default;

    // A modal message box; returns the button the operator pressed.
    virtual MsgAnswer MessageBox(const std::string& caption, const std::string& text,
                                 MsgIcon icon, MsgButtons buttons) = 0;

    // The prompt bar; blink 1 makes an error prompt blink.
    virtual void ShowPrompt(const std::string& text, int blink) = 0;

    // A notification posted to the frame (end of a search and the like); it is
    // delivered later, never from inside the caller.
    virtual void PostNotification(int code) { (void)code; }
};

// An operator that shows nothing and answers every question with the default
// button (Ok / Yes). Used by command-line tools.
class SilentOperator : public Operator {
public:
    MsgAnswer MessageBox(const std::string&, const std::string&, MsgIcon,
                         MsgButtons buttons) override {
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                   : MsgAnswer::Ok;
    }
    void ShowPrompt(const std::string&, int) override {}
};

} // namespace velmora
