#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "deadline_waiter.h"
#include "layout_options.h"
#include "message_sink.h"
#include "record_merge.h"

namespace corvat {

// corvat-cli convert: each text file into one new security.
class ConvertCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    struct Outcome {
        bool converted = false;
        int fileNumber = 0;  // 0 when no security was registered
        int rowsWritten = 0;
        std::optional<RecordMerge> update;  // set when an existing security was updated
        std::string symbol;                 // the updated security's, as DIR holds it
        long rowsLeftOut = 0;
        std::string firstDate;  // of the records written, as YYYY-MM-DD
        std::string lastDate;
    };

    void Validate();
    // With --update a longer symbol may name a security already in DIR;
    // the engine refuses it for a new one.
    bool SymbolAllowed(const std::string& symbol) const;
    Outcome ConvertFile(const std::string& input, const std::string& symbol,
                        const std::string& name, bool useExisting, MessageSink& messages,
                        LockWaiter& waiter) const;
    int ExecuteBatch(std::ostream& out, std::ostream& err);

    std::vector<std::string> m_inputs;
    std::string m_dir;
    std::string m_symbol;
    std::string m_name;
    std::string m_master = "auto";
    bool m_update = false;
    LayoutOptions m_layout;
    int m_waitSeconds = kDefaultWaitSeconds;
    bool m_skipBadRows = false;
};

// The symbol as the settings dialog hands it over: trailing blanks
// removed, upper case.
std::string CleanSymbol(const std::string& symbol);

// A file's symbol: its name without extension, cleaned as above and never
// cut; one too long or with other bytes than printable ASCII is refused.
std::string SymbolFromFileName(const std::string& path);

// A date format given by name (any letter case) or number 1..12; 0 when
// it is neither.
int DateFormatNumber(const std::string& text);

}  // namespace corvat
