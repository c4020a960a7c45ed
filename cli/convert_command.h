#pragma once

#include <array>
#include <string>
#include <vector>

#include "command.h"
#include "message_sink.h"

namespace corvat {

// corvat-cli convert: each text file into one new security.
class ConvertCommand final : public Command {
public:
    CLI::App* Register(CLI::App& app) override;
    int Execute(std::ostream& out, std::ostream& err) override;

private:
    struct FieldOption {
        const char* name;
        int column;
        bool disabled = false;
    };

    struct Outcome {
        bool converted = false;
        int fileNumber = 0;  // 0 when no security was registered
        int rowsWritten = 0;
        long rowsLeftOut = 0;
    };

    void Validate();
    Outcome ConvertFile(const std::string& input, const std::string& symbol,
                        const std::string& name, bool useExisting, MessageSink& messages) const;
    int ExecuteBatch(std::ostream& out, std::ostream& err);

    std::vector<std::string> m_inputs;
    std::string m_dir;
    std::string m_symbol;
    std::string m_name;
    std::string m_master = "auto";
    std::string m_delimiter = "comma";
    std::string m_dateFormat = "MMDDYY";
    int m_skip = 0;
    bool m_skipBadRows = false;
    int m_dateFormatNumber = 9;
    // date, open, high, low, close, volume, open interest
    std::array<FieldOption, 7> m_fields = {{{"date", 1},
                                            {"open", 2},
                                            {"high", 3},
                                            {"low", 4},
                                            {"close", 5},
                                            {"volume", 6},
                                            {"open interest", 7}}};
};

// The symbol as the settings dialog hands it over: trailing blanks
// removed, upper case.
std::string CleanSymbol(const std::string& symbol);

// A batch file's symbol: its name without extension, cleaned as above
// and cut to the 16 bytes a master holds (never inside a UTF-8 character).
std::string SymbolFromFileName(const std::string& path);

// A date format given by name (any letter case) or number 1..12; 0 when
// it is neither.
int DateFormatNumber(const std::string& text);

}  // namespace corvat
