// Hot paths of a conversion, one benchmark each, plus a whole conversion
// of the largest file daily dates allow (50,769 rows, 1961 to 2099).
//
//   corvat_bench [--benchmark_filter=REGEX]
//
// The whole-conversion benchmark writes into $CORVAT_BENCH_DIR (default
// /dev/shm, else the system's temporary directory) so the disk's flush time
// does not drown the engine's own cost; bench/compare.sh measures the whole
// process on a real disk.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "converter.h"
#include "date_codec.h"
#include "date_formats.h"
#include "mbf.h"
#include "message_sink.h"
#include "profile.h"
#include "row_parser.h"

namespace corvat {
namespace {

// One row per calendar day from 1 January 1961 to 31 December 2099: the
// most distinct daily records a file can hold.
constexpr int kLargestFile = kLastDayNumber;
constexpr int kMmDdCcyy = 4;

// Rows shaped like the ones compare.sh feeds the command line: a
// MM/DD/CCYY date, four two-decimal prices, volume and open interest.
std::vector<std::string> MakeRows(int count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    std::uniform_real_distribution<double> spread(0.0, 3.0);
    std::uniform_int_distribution<int> volume(1000, 901000);
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(count));
    double price = 100.0;
    char text[128];
    for (int i = 0; i < count; ++i) {
        price = std::max(5.0, price + step(random));
        const double high = price + spread(random);
        const double low = price - spread(random);
        const CalendarDate date = DayNumberToDate(static_cast<std::uint16_t>(i + 1));
        std::snprintf(text, sizeof text, "%02d/%02d/%04d,%.2f,%.2f,%.2f,%.2f,%d,%d", date.month,
                      date.day, 1900 + date.year, price, high, low, (high + low) / 2,
                      volume(random), volume(random) / 20);
        rows.emplace_back(text);
    }
    return rows;
}

const std::vector<std::string>& Rows() {
    static const std::vector<std::string> rows = MakeRows(kLargestFile);
    return rows;
}

std::vector<std::string> Fields(std::size_t column) {
    std::vector<std::string> fields;
    RowColumns columns;
    for (const auto& row : Rows()) {
        columns.Split(row, ',');
        fields.emplace_back(columns[column]);
    }
    return fields;
}

// The splitter ConvertRows uses: views into the row, no copies.
void BM_SplitRow(benchmark::State& state) {
    const auto& rows = Rows();
    RowColumns columns;
    std::size_t i = 0;
    for (auto _ : state) {
        columns.Split(rows[i], ',');
        benchmark::DoNotOptimize(columns.Count());
        if (++i == rows.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SplitRow);

void BM_ParseDate(benchmark::State& state) {
    const auto dates = Fields(0);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDate(dates[i], kMmDdCcyy));
        if (++i == dates.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseDate);

void BM_ParsePrice(benchmark::State& state) {
    const auto prices = Fields(static_cast<std::size_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParsePrice(prices[i]));
        if (++i == prices.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
// Column 1 holds two-decimal prices, column 5 whole-number volumes.
BENCHMARK(BM_ParsePrice)->Arg(1)->Arg(5);

void BM_IeeeToMbf(benchmark::State& state) {
    std::vector<float> values;
    for (const auto& text : Fields(1)) values.push_back(*ParsePrice(text));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IeeeToMbf(values[i]));
        if (++i == values.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IeeeToMbf);

void BM_DayNumberToDateValue(benchmark::State& state) {
    std::uint16_t day = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DayNumberToDateValue(day));
        if (++day > kLastDayNumber) day = 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DayNumberToDateValue);

class QuietSink final : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { m_last = text; }
    bool AskYesNo(const std::string&) override { return false; }
    std::string m_last;
};

std::filesystem::path BenchRoot() {
    if (const char* dir = std::getenv("CORVAT_BENCH_DIR")) return dir;
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

// One ConvertRows of the whole largest file into a fresh security; the
// master and the empty data file are made outside the timed part.
void BM_Convert(benchmark::State& state) {
    std::string name = "corvat-bench-";  // appended: GCC 12 misreads "a" + to_string
    name += std::to_string(::getpid());
    const auto root = BenchRoot() / name;
    std::filesystem::create_directories(root);
    const auto input = root / "prices.csv";
    {
        std::ofstream out(input, std::ios::binary);
        for (const auto& row : Rows()) out << row << '\n';
    }
    const auto output = root / "out";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(output);
        std::filesystem::create_directory(output);
        QuietSink messages;
        NullProfile profile;
        CConverter job(messages, profile, RealFileSystem());
        job.m_strInputPath = input.string();
        job.m_bFieldOn.fill(1);
        for (int field = 0; field < kFieldSlots; ++field) job.m_nColumn[field] = field;
        job.m_szPath = output.string();
        job.m_szSymbol = "BENCH";
        job.m_szName = "BENCH";
        job.m_szDelimiter = ",";
        job.m_nDateFormat = kMmDdCcyy;
        state.ResumeTiming();
        if (job.Run() != 0 || job.RowsWritten() != kLargestFile) {
            state.SkipWithError(messages.m_last.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLargestFile);
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvat

BENCHMARK_MAIN();
