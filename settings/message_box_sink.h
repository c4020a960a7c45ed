#pragma once

#include "message_sink.h"

class QWidget;

namespace corvat {

// Shows the engine's and the dialogs' messages as modal message boxes.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent) : m_parent(parent) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskYesNoDefaultNo(const std::string& text) override;

private:
    bool Ask(const std::string& text, bool yesByDefault);

    QWidget* m_parent;
};

}  // namespace corvat
