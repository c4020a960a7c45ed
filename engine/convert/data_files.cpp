#include <vector>

#include "case_blind_path.h"
#include "converter.h"
#include "data_file_layout.h"
#include "file_names.h"
#include "file_ops.h"

namespace corvat {

std::filesystem::path CConverter::DataFilePath(std::uint8_t fileNumber,
                                               const char* extension) const {
    return FindIgnoringCase(m_fs, m_szPath, SecurityFileName(fileNumber, extension));
}

int CConverter::CreateDataFiles(std::uint8_t fileNumber, const std::vector<InputRecord>& records) {
    // Nothing names these files until the master is committed, so they are
    // written in place; a leftover of a free number is simply replaced.
    const auto dataPath = DataFilePath(fileNumber, kDataExtension);
    const std::size_t recordLength = 4 * static_cast<std::size_t>(m_nFields);
    // One directory sync covers both new files: it is issued after the second.
    std::string error = WriteNewFile(m_fs, dataPath, SyncDirectory::No, [&](File& file) {
        std::vector<std::uint8_t> chunk;
        chunk.reserve(recordLength * 2048);
        for (int i = 0; i < m_nFields; ++i) chunk.insert(chunk.end(), {0, 0, 1, 0});
        // The count word counts the header too; the guard before this keeps
        // it within 16 bits.
        const auto word = EncodeRecordCount(static_cast<std::uint16_t>(records.size() + 1));
        std::copy(word.begin(), word.end(), chunk.begin() + kRecordCountOffset);
        for (const InputRecord& record : records) {
            for (int field = 0; field < kFieldSlots; ++field) {
                if (!m_bFieldOn[field]) continue;
                const MbfBytes& value = record.fields[static_cast<std::size_t>(field)];
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
        const auto descriptionPath = DataFilePath(fileNumber, kDescriptionExtension);
        error = WriteNewFile(m_fs, descriptionPath, SyncDirectory::Yes, [&](File& file) {
            std::string text;
            for (int field = 0; field < kFieldSlots; ++field) {
                if (m_bFieldOn[field]) text += kFieldTable[field].descriptionLine;
            }
            return WriteBytes(file, descriptionPath, text.data(), text.size());
        });
    }
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

void CConverter::RemoveDataFiles(std::uint8_t fileNumber) {
    for (const char* extension : {kDataExtension, kDescriptionExtension}) {
        std::error_code ignored;
        m_fs.Remove(DataFilePath(fileNumber, extension), ignored);
    }
}

}  // namespace corvat
