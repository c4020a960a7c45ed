#include <algorithm>

#include "converter.h"
#include "data_file_layout.h"
#include "input_rows.h"

namespace corvat {

InputLayout CConverter::Layout() const {
    InputLayout layout;
    for (std::size_t i = 0; i < kFieldSlots; ++i) {
        layout.fieldOn[i] = m_bFieldOn[i] != 0;
        layout.column[i] = m_nColumn[i];
    }
    layout.timeColumn = m_nTimeColumn;
    layout.delimiter = m_szDelimiter.empty() ? ',' : m_szDelimiter[0];
    layout.dateFormat = m_nDateFormat;
    layout.skipRows = m_bSkipOn ? m_nSkipRows : 0;
    layout.numbers = m_numberStyle;
    return layout;
}

// Reads the whole text file into held records, ascending by date, one per
// date; what cannot be converted is gathered for CheckInput to judge.
int CConverter::ConvertRows(InputRows& input) {
    input = ReadInputRows(m_fs, m_strInputPath, Layout());
    if (input.failure.empty()) return 0;
    Report(input.failure);
    return 1;
}

// Whether the rows read may be written: every refusal here comes before
// anything in the directory changes, and the one question is asked here,
// before the directory is waited for.
int CConverter::CheckInput(const InputRows& input) {
    // Another format reads every date: the rows the chosen one read may
    // stand on wrong days (2 January read as 1 February), so say so.
    const std::vector<int>& fitting = input.fittingFormats;
    const std::string looks =
        fitting.empty() || std::find(fitting.begin(), fitting.end(), m_nDateFormat) != fitting.end()
            ? ""
            : "\n" + FittingFormatsLine(fitting);
    if (input.dateKindMismatch != nullptr) {
        Report(input.dateKindMismatch + looks);
        return 1;
    }
    if (input.intraday) {
        Report(IntradayMessage(m_strInputPath));
        return 1;
    }
    if (input.records.empty()) {
        Report((input.badRowCount > 0 ? BadRowsMessage(input) + "\n" : std::string()) +
               "No rows could be converted." + looks);
        return 1;
    }
    // Daily dates from 1961 to 2099 never come this far; the header's count
    // word is the limit should the calendar ever grow.
    if (input.records.size() > static_cast<std::size_t>(kMaxDataRecords)) {
        Report("The data file can hold at most 65534 records.");
        return 1;
    }
    if (input.badRowCount > 0) {
        if (!m_messages.AskYesNoDefaultNo(BadRowsMessage(input) + looks + "\n" +
                                          LeaveOutQuestion(input.records.size()))) {
            return 1;
        }
        m_rowsLeftOut = static_cast<long>(input.badRowCount);
    }
    return 0;
}

}  // namespace corvat
