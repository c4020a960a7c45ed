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

private:
    std::ostream& m_stream;
};

}  // namespace corvat
