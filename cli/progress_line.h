#pragma once

#include <ostream>
#include <string>

#include "message_sink.h"

namespace corvat {

// A one-line counter redrawn in place on a terminal ("[3/120] ibm.csv").
// Anything else printed while it shows must Clear it first, or the two
// would run into each other on the screen.
class ProgressLine {
public:
    ProgressLine(std::ostream& stream, bool enabled) : m_stream(stream), m_enabled(enabled) {}
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const std::string& text) {
        if (!m_enabled) return;
        Clear();
        m_stream << text << std::flush;
        m_width = text.size();
    }

    void Clear() {
        if (!m_enabled || m_width == 0) return;
        m_stream << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
        m_width = 0;
    }

private:
    std::ostream& m_stream;
    bool m_enabled;
    std::size_t m_width = 0;
};

// Passes the engine's messages on, first taking the progress line away.
class ProgressAwareSink final : public MessageSink {
public:
    ProgressAwareSink(MessageSink& inner, ProgressLine& progress)
        : m_inner(inner), m_progress(progress) {}
    void ShowMessage(const std::string& text) override {
        m_progress.Clear();
        m_inner.ShowMessage(text);
    }
    bool AskYesNo(const std::string& text) override {
        m_progress.Clear();
        return m_inner.AskYesNo(text);
    }
    bool AskYesNoDefaultNo(const std::string& text) override {
        m_progress.Clear();
        return m_inner.AskYesNoDefaultNo(text);
    }

private:
    MessageSink& m_inner;
    ProgressLine& m_progress;
};

}  // namespace corvat
