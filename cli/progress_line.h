#pragma once

#include <ostream>
#include <string>
#include <utility>

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
// While one file of a batch is read, its messages start with the file's
// name (unless their first line names it already): a batch of exports
// would otherwise leave the user to guess which file each is about.
class ProgressAwareSink final : public MessageSink {
public:
    ProgressAwareSink(MessageSink& inner, ProgressLine& progress)
        : m_inner(inner), m_progress(progress) {}
    void SetSubject(std::string subject) { m_subject = std::move(subject); }
    void ShowMessage(const std::string& text) override {
        m_progress.Clear();
        m_inner.ShowMessage(Named(text));
    }
    bool AskYesNo(const std::string& text) override {
        m_progress.Clear();
        return m_inner.AskYesNo(Named(text));
    }
    bool AskYesNoDefaultNo(const std::string& text) override {
        m_progress.Clear();
        return m_inner.AskYesNoDefaultNo(Named(text));
    }

private:
    std::string Named(const std::string& text) const {
        if (m_subject.empty() ||
            text.substr(0, text.find('\n')).find(m_subject) != std::string::npos)
            return text;
        return m_subject + ": " + text;
    }

    MessageSink& m_inner;
    ProgressLine& m_progress;
    std::string m_subject;
};

}  // namespace corvat
