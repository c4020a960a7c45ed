#pragma once

#include <ostream>

#include "message_sink.h"
#include "profile.h"

namespace corvat {

// Messages go to a stream (stderr) as they stand; a question that would
// need a person is answered No, since nobody is there to answer.
class StreamMessageSink final : public MessageSink {
public:
    explicit StreamMessageSink(std::ostream& stream) : m_stream(stream) {}
    void ShowMessage(const std::string& text) override { m_stream << text << '\n'; }
    bool AskYesNo(const std::string& text) override {
        m_stream << text << " No\n";
        return false;
    }
    // The one such question the engine asks is whether to leave bad rows
    // out; the command line answers it from --skip-bad-rows.
    bool AskYesNoDefaultNo(const std::string& text) override {
        m_stream << text << '\n'
                 << (m_skipBadRows ? "(Answered yes: --skip-bad-rows was given.)"
                                   : "(Answered no: run again with --skip-bad-rows to leave them "
                                     "out.)")
                 << '\n';
        return m_skipBadRows;
    }
    void SkipBadRows(bool skip) { m_skipBadRows = skip; }

private:
    std::ostream& m_stream;
    bool m_skipBadRows = false;
};

}  // namespace corvat
