#include "record_merge.h"

#include <algorithm>
#include <cstring>

namespace corvat {
namespace {

constexpr std::size_t kFieldBytes = 4;

// Dates are stored as (year - 1900) * 10000 + month * 100 + day, so their
// values order them; a damaged value sorts by what it says.
float DateKey(const char* field) {
    MbfBytes value{};
    std::memcpy(value.data(), field, value.size());
    return MbfToIeee(value);
}

std::string Counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Changes(const RecordMerge& merge) {
    const std::string total = Counted(merge.count, "record", "records");
    if (merge.ChangesNothing()) return "nothing to add, " + total;
    return Counted(merge.added, "row added", "rows added") + ", " + std::to_string(merge.replaced) +
           " replaced, " + total;
}

}  // namespace

RecordMerge MergeRecords(std::string_view stored, const std::vector<int>& fields,
                         const std::vector<InputRecord>& rows) {
    const std::size_t length = kFieldBytes * fields.size();
    const auto date = std::find(fields.begin(), fields.end(), kDateField);
    const std::size_t dateOffset = kFieldBytes * static_cast<std::size_t>(date - fields.begin());

    // Stored records by date; of records repeating a date, the last in the
    // file is kept (a stable sort leaves it last of its run).
    std::vector<const char*> old;
    for (std::size_t at = 0; length > 0 && at + length <= stored.size(); at += length)
        old.push_back(stored.data() + at);
    const auto key = [&](const char* record) { return DateKey(record + dateOffset); };
    std::stable_sort(old.begin(), old.end(),
                     [&](const char* a, const char* b) { return key(a) < key(b); });
    std::vector<const char*> unique;
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (i + 1 < old.size() && key(old[i + 1]) == key(old[i])) continue;
        unique.push_back(old[i]);
    }

    RecordMerge merge;
    std::string row(length, '\0');
    const auto rowBytes = [&](const InputRecord& input) -> const std::string& {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const MbfBytes& value = input.fields[static_cast<std::size_t>(fields[i])];
            std::memcpy(row.data() + kFieldBytes * i, value.data(), kFieldBytes);
        }
        return row;
    };
    merge.records.reserve((unique.size() + rows.size()) * length);
    std::size_t o = 0;
    std::size_t r = 0;
    while (o < unique.size() || r < rows.size()) {
        const bool takeOld =
            r == rows.size() ||
            (o < unique.size() && key(unique[o]) < MbfToIeee(rows[r].fields[kDateField]));
        if (takeOld) {
            merge.records.append(unique[o++], length);
            continue;
        }
        const std::string& bytes = rowBytes(rows[r]);
        if (o < unique.size() && key(unique[o]) == MbfToIeee(rows[r].fields[kDateField])) {
            if (std::memcmp(unique[o], bytes.data(), length) != 0) ++merge.replaced;
            ++o;
        } else {
            ++merge.added;
        }
        merge.records += bytes;
        ++r;
    }
    merge.count = length == 0 ? 0 : merge.records.size() / length;
    if (merge.count > 0) {
        std::memcpy(merge.firstDate.data(), merge.records.data() + dateOffset, kFieldBytes);
        std::memcpy(merge.lastDate.data(),
                    merge.records.data() + merge.records.size() - length + dateOffset, kFieldBytes);
    }
    return merge;
}

int MissingField(const std::vector<int>& fields, const std::array<bool, kFieldSlots>& given) {
    for (int field : fields) {
        if (field >= 0 && field < kFieldSlots && !given[static_cast<std::size_t>(field)])
            return field;
    }
    return -1;
}

std::string UpdateOutcome(const std::string& symbol, const RecordMerge& merge) {
    return symbol + ": " + Changes(merge);
}

std::string BatchUpdateOutcome(const std::string& file, const std::string& symbol, int fileNumber,
                               const RecordMerge& merge) {
    return file + ": symbol " + symbol + ", file number " + std::to_string(fileNumber) + ", " +
           Changes(merge) + (merge.ChangesNothing() ? "" : ", updated");
}

}  // namespace corvat
