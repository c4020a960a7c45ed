#include <cstring>
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

int CConverter::CreateDataFiles(std::uint8_t fileNumber) {
    const auto dataPath = DataFilePath(fileNumber, kDataExtension);
    // One directory sync covers both new files: it is issued after the second.
    std::string error = WriteNewFile(m_fs, dataPath, SyncDirectory::No, [&](File& file) {
        static constexpr std::uint8_t kPair[4] = {0, 0, 1, 0};
        for (int i = 0; i < m_nFields; ++i) {
            std::string e = WriteBytes(file, dataPath, kPair, sizeof kPair);
            if (!e.empty()) return e;
        }
        return std::string();
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

int CConverter::AppendRecord(std::uint8_t fileNumber) {
    if (!m_dataStream) {
        const auto path = DataFilePath(fileNumber, kDataExtension);
        std::error_code ec;
        auto file = m_fs.Open(path, OpenMode::Append, ec);
        if (!file) {
            Report(FileError("open", path, ec));
            return 1;
        }
        m_dataStream = DataStream{std::move(file), path};
    }
    std::uint8_t record[4 * kFieldSlots];
    std::size_t size = 0;
    for (int field = 0; field < kFieldSlots; ++field) {
        if (!m_bFieldOn[field]) continue;
        std::memcpy(record + size, m_fRecord[field].data(), 4);
        size += 4;
    }
    const std::string error = WriteBytes(*m_dataStream->file, m_dataStream->path, record, size);
    if (error.empty()) return 0;
    Report(error);
    std::error_code ignored;
    m_dataStream->file->Close(ignored);
    m_dataStream.reset();
    return 1;
}

int CConverter::CloseDataStream() {
    if (!m_dataStream) return 0;
    // Closing hands the last buffered records to the system; no flush to the
    // disk here, since the copy that sets the record count is flushed before
    // it replaces this file, and until then the header promises no record.
    std::error_code ec;
    m_dataStream->file->Close(ec);
    const auto path = m_dataStream->path;
    m_dataStream.reset();
    if (!ec) return 0;
    Report(FileError("write", path, ec));
    return 1;
}

int CConverter::UpdateRecordCount(int rowCount, std::uint8_t fileNumber) {
    const auto dataPath = DataFilePath(fileNumber, kDataExtension);
    auto tempPath = dataPath;
    tempPath.replace_extension(kReplacementSuffix);
    const std::size_t recordLength = 4 * static_cast<std::size_t>(m_nFields);

    std::error_code ec;
    auto source = m_fs.Open(dataPath, OpenMode::Read, ec);
    if (!source) {
        Report(FileError("open", dataPath, ec));
        return 1;
    }
    const std::string error = ReplaceFile(m_fs, dataPath, tempPath, [&](File& out) -> std::string {
        std::vector<char> buffer(recordLength * 2048);
        std::size_t filled = 0;
        long records = -1;  // the header is not a data record
        for (;;) {
            const std::size_t got =
                source->Read(buffer.data() + filled, buffer.size() - filled, ec);
            if (ec) return FileError("read", dataPath, ec);
            filled += got;
            const std::size_t whole = filled - filled % recordLength;
            if (records < 0 && whole > 0) {
                // The count word is the only header word that changes.
                const auto word = EncodeRecordCount(static_cast<std::uint16_t>(rowCount + 1));
                std::memcpy(buffer.data() + kRecordCountOffset, word.data(), word.size());
            }
            if (whole > 0) {
                std::string e = WriteBytes(out, tempPath, buffer.data(), whole);
                if (!e.empty()) return e;
                records += static_cast<long>(whole / recordLength);
                std::memmove(buffer.data(), buffer.data() + whole, filled - whole);
                filled -= whole;
            }
            if (got == 0) break;  // a trailing fragment is dropped
        }
        if (records < 0) return dataPath.string() + " is shorter than its header record.";
        if (records != rowCount) {
            // Fewer records reached the disk than were converted: the header
            // must not promise the missing ones.
            const auto word = EncodeRecordCount(static_cast<std::uint16_t>(records + 1));
            out.Seek(kRecordCountOffset, ec);
            if (ec) return FileError("write", tempPath, ec);
            return WriteBytes(out, tempPath, word.data(), word.size());
        }
        return std::string();
    });
    source->Close(ec);
    if (error.empty()) return 0;
    Report(error);
    return 1;
}

}  // namespace corvat
