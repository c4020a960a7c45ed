#include <cstdio>
#include <optional>
#include <string_view>

#include "converter.h"
#include "data_file_layout.h"
#include "date_codec.h"
#include "date_formats.h"
#include "file_names.h"
#include "file_ops.h"
#include "input_rows.h"
#include "master_search.h"
#include "row_parser.h"

namespace corvat {
namespace {

bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The rows left out of a conversion, reported once at its end.
struct LeftOutRows {
    int count = 0;
    long firstLine = 0;
    std::string firstReason;

    void Add(long line, std::string reason) {
        if (count++ == 0) {
            firstLine = line;
            firstReason = std::move(reason);
        }
    }
    std::string Message() const {
        return std::to_string(count) +
               (count == 1 ? " row could not be converted and was left out.\n"
                           : " rows could not be converted and were left out.\n") +
               "The first is line " + std::to_string(firstLine) + ": " + firstReason;
    }
};

}  // namespace

int CConverter::ReadRecordedDates(std::uint8_t fileNumber, MbfBytes& firstDate,
                                  MbfBytes& lastDate) {
    const auto path = DataFilePath(fileNumber, kDataExtension);
    const std::size_t recordLength = 4 * static_cast<std::size_t>(m_nFields);
    std::error_code ec;
    const auto size = m_fs.FileSize(path, ec);
    if (ec || size < 2 * recordLength) return 0;
    const auto records =
        static_cast<int>(std::min<std::uintmax_t>(size / recordLength - 1, kMaxDataRecords));
    auto file = m_fs.Open(path, OpenMode::Read, ec);
    if (!file) return 0;
    auto readDate = [&](std::uint64_t offset, MbfBytes& date) {
        file->Seek(offset, ec);
        return !ec && file->Read(date.data(), date.size(), ec) == date.size() && !ec;
    };
    const bool ok = readDate(recordLength, firstDate) &&
                    readDate(static_cast<std::uint64_t>(records) * recordLength, lastDate);
    file->Close(ec);
    return ok ? records : 0;
}

// Fills the price entries of the record from the row; the reason the row
// must be left out when a mapped column is missing or holds no number.
std::optional<std::string> CConverter::FillPrices(const RowColumns& columns) {
    for (int field = kOpenField; field < kFieldSlots; ++field) {
        m_fRecord[field] = MbfBytes{};
        if (!m_bFieldOn[field]) continue;
        const auto column = static_cast<std::size_t>(m_nColumn[field]);
        const std::string_view name = kFieldTable[static_cast<std::size_t>(field)].messageName;
        if (column >= columns.Count()) return "it has no " + std::string(name) + " column";
        const auto value = ParseNumber(columns[column], m_numberStyle, field >= kVolumeField);
        if (!value) {
            return "the " + std::string(name) + " \"" + Excerpt(columns[column]) +
                   "\" is not a number";
        }
        m_fRecord[field] = IeeeToMbf(*value);
    }
    return std::nullopt;
}

// Closes the data file, then writes the first and last dates into the
// master entry and the record count into the data file's header.
int CConverter::FinishDataFiles(std::uint8_t fileNumber, bool writeFailed, MbfBytes firstDate,
                                MbfBytes lastDate) {
    int result = 0;
    if (CloseDataStream() != 0) {
        result = 1;
        writeFailed = true;
    }
    if (writeFailed) {
        // Buffered records may not all have reached the disk: the dates and
        // the count must describe what the data file really holds.
        m_rowsWritten = ReadRecordedDates(fileNumber, firstDate, lastDate);
    }
    if (m_rowsWritten > 0 && UpdateMasterDates(firstDate, lastDate, fileNumber) != 0) result = 1;
    if (UpdateRecordCount(m_rowsWritten, fileNumber) != 0) result = 1;
    return result;
}

int CConverter::ConvertRows() {
    MasterRecord entry{};
    std::string foundDir;
    if (FindSecurity(m_szPath, m_szSymbol, entry, foundDir, m_fs) != kSecurityFound) {
        Report("Cannot find " + m_szSymbol + " in " + m_szMasterPath + ".");
        return 1;
    }
    const std::uint8_t fileNumber = entry[master::kFileNumber];

    std::error_code ec;
    auto input = m_fs.Open(m_strInputPath, OpenMode::Read, ec);
    if (!input) {
        Report(FileError("open", m_strInputPath, ec));
        return 1;
    }
    LineReader reader(*input);
    std::string_view line;
    long lineNumber = 0;
    if (m_bSkipOn) {
        for (int i = 0; i < m_nSkipRows && reader.ReadLine(line); ++i) ++lineNumber;
    }

    const char delimiter = m_szDelimiter.empty() ? ',' : m_szDelimiter[0];
    RowColumns columns;
    bool kindChecked = false;
    bool mismatch = false;
    bool stopped = false;
    bool writeFailed = false;
    LeftOutRows leftOut;
    MbfBytes firstDate{};
    MbfBytes lastDate{};
    m_rowsWritten = 0;

    while (!stopped && reader.ReadLine(line)) {
        ++lineNumber;
        columns.Split(line, delimiter);
        const std::size_t columnCount = columns.Count();
        if (columnCount == 0 || columns.AllBlank()) continue;

        const auto dateColumn = static_cast<std::size_t>(m_nColumn[kDateField]);
        if (dateColumn >= columnCount) {
            leftOut.Add(lineNumber, "it has no date column");
            continue;
        }
        const std::string_view dateText = columns[dateColumn];
        if (!kindChecked && !IsBlankText(dateText)) {
            kindChecked = true;
            if (const char* message = DateKindMismatch(dateText, m_nDateFormat)) {
                mismatch = true;
                Report(message);
            }
        }
        const std::uint16_t day = ParseDate(dateText, m_nDateFormat);
        if (day == 0) {
            leftOut.Add(lineNumber, "\"" + Excerpt(dateText) + "\" is not a valid date");
            continue;
        }
        m_fRecord[kDateField] = DayNumberToDateValue(day);

        if (auto reason = FillPrices(columns)) {
            leftOut.Add(lineNumber, std::move(*reason));
            continue;
        }

        if (m_rowsWritten == kMaxDataRecords) {
            Report("The data file can hold at most 65534 records.\nConversion stopped at line " +
                   std::to_string(lineNumber) + ".");
            stopped = true;
            break;
        }
        if (AppendRecord(fileNumber) != 0) {
            stopped = writeFailed = true;
            break;
        }
        if (m_rowsWritten == 0) firstDate = m_fRecord[kDateField];
        lastDate = m_fRecord[kDateField];
        ++m_rowsWritten;
    }
    bool failed = stopped || mismatch;
    if (reader.Error()) {
        Report(FileError("read", m_strInputPath, reader.Error()));
        failed = true;
    }
    input->Close(ec);

    if (FinishDataFiles(fileNumber, writeFailed, firstDate, lastDate) != 0) failed = true;
    if (leftOut.count > 0) {
        Report(leftOut.Message());
        failed = true;
    }
    return failed ? 1 : 0;
}

}  // namespace corvat
