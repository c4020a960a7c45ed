#pragma once

#include <string>

namespace corvat {

// How the engine (and the dialogs) reach the user. The desktop program shows
// message boxes, the command line prints to stderr, tests record.
class MessageSink {
public:
    virtual ~MessageSink() = default;

    // A message with an OK button; returns when the user has seen it.
    virtual void ShowMessage(const std::string& text) = 0;

    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;

    // The same, for a question whose Yes gives something up: No is the
    // answer a bare Enter gives.
    virtual bool AskYesNoDefaultNo(const std::string& text) { return AskYesNo(text); }
};

}  // namespace corvat
