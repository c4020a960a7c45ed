// Row reading, splitting and number parsing over arbitrary text: the
// first byte picks the delimiter and the date format, the rest is the file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "date_codec.h"
#include "file_system.h"
#include "mbf.h"
#include "row_parser.h"

namespace {

// A file in memory that hands its bytes out in small, uneven pieces, so
// lines cross the reader's refills.
class MemoryFile final : public corvat::File {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t Read(void* out, std::size_t size, std::error_code&) override {
        const std::size_t piece = std::min({size, m_size - m_pos, 1 + m_pos % 4093});
        std::memcpy(out, m_data + m_pos, piece);
        m_pos += piece;
        return piece;
    }
    void Write(const void*, std::size_t, std::error_code& ec) override {
        ec = std::make_error_code(std::errc::bad_file_descriptor);
    }
    void Seek(std::uint64_t offset, std::error_code&) override {
        m_pos = std::min<std::size_t>(offset, m_size);
    }
    void Flush(std::error_code&) override {}
    void Close(std::error_code&) override {}

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr char kDelimiters[] = {',', '\t', ' '};
    const char delimiter = kDelimiters[data[0] % 3];
    const int format = data[0] / 3 % 14;  // 0 and 13 are outside the list
    MemoryFile file(data + 1, size - 1);
    corvat::LineReader reader(file);
    std::string_view line;
    corvat::RowColumns columns;
    std::size_t lineBytes = 0;
    while (reader.ReadLine(line)) {
        Check(line.find('\n') == std::string_view::npos);
        lineBytes += line.size();
        columns.Split(line, delimiter);
        const std::size_t count = columns.Count();
        Check(count <= corvat::kMaxColumns);
        (void)columns.AllBlank();
        for (std::size_t i = 0; i < count; ++i) {
            if (auto price = corvat::ParsePrice(columns[i])) {
                Check(std::isfinite(*price) && std::fabs(*price) < 0x1p127f);
                // What is stored reads back exactly.
                Check(corvat::MbfToIeee(corvat::IeeeToMbf(*price)) == *price);
            }
        }
        if (count > 0) {
            const std::uint16_t day = corvat::ParseDate(columns[0], format);
            Check(day <= corvat::kLastDayNumber);
        }
    }
    Check(!reader.Error());
    Check(lineBytes <= size);
    return 0;
}
