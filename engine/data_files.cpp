#include <cstring>
#include <vector>

#include "case_blind_path.h"
#include "converter.h"
#include "data_file_layout.h"
#include "file_ops.h"

namespace corvat {

std::filesystem::path CConverter::DataFilePath(std::uint8_t fileNumber,
                                               const char* extension) const {
    // Built piece by piece: GCC 12 at -O2 misreads `"F" + std::to_string(...)`
    // as an overlapping copy and -Werror turns that into a failed build.
    std::string name(1, 'F');
    name += std::to_string(fileNumber);
    name += extension;
    return FindIgnoringCase(m_szPath, name);
}

int CConverter::CreateDataFiles(std::uint8_t fileNumber, const std::vector<InputRecord>& records) {
    // Nothing names these files until the master is committed, so they are
    // written in place; a leftover of a free number is simply replaced.
    const auto dataPath = DataFilePath(fileNumber, ".DAT");
    const std::size_t recordLength = 4 * static_cast<std::size_t>(m_nFields);
    // One directory sync covers both new files: it is issued after the second.
    std::string error = WriteNewFile(m_fs, dataPath, SyncDirectory::No, [&](File& file) {
        std::vector<std::uint8_t> chunk;
        chunk.reserve(recordLength * 2048);
        for (int i = 0; i < m_nFields; ++i) chunk.insert(chunk.end(), {0, 0, 1, 0});
        // The count word counts the header too; the guard before this keeps
        // it within 16 bits.
        const auto count = static_cast<std::uint16_t>(records.size() + 1);
        chunk[kRecordCountOffset] = static_cast<std::uint8_t>(count & 0xFF);
        chunk[kRecordCountOffset + 1] = static_cast<std::uint8_t>(count >> 8);
        for (const InputRecord& record : records) {
            for (int field = 0; field < kFieldSlots; ++field) {
                if (!m_bFieldOn[field]) continue;
                const MbfBytes& value = record.values[static_cast<std::size_t>(field)];
                chunk.insert(chunk.end(), value.begin(), value.end());
            }
            if (chunk.size() + recordLength > chunk.capacity()) {
                std::string e = WriteBytes(file, dataPath, chunk.data(), chunk.size());
                if (!e.empty()) return e;
                chunk.clear();
            }
        }
        return WriteBytes(file, dataPath, chunk.data(), chunk.size());
    });
    if (error.empty()) {
        const auto descriptionPath = DataFilePath(fileNumber, ".DOP");
        error = WriteNewFile(m_fs, descriptionPath, SyncDirectory::Yes, [&](File& file) {
            std::string text;
            for (int field = 0; field < kFieldSlots; ++field) {
                if (m_bFieldOn[field]) text += kFieldDescriptions[field];
            }
            return WriteBytes(file, descriptionPath, text.data(), text.size());
        });
    }
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

void CConverter::RemoveDataFiles(std::uint8_t fileNumber) {
    for (const char* extension : {".DAT", ".DOP"}) {
        std::error_code ignored;
        m_fs.Remove(DataFilePath(fileNumber, extension), ignored);
    }
}

}  // namespace corvat
