#include "file_ops.h"

#include <array>
#include <string_view>
#include <vector>

#include "emaster_record.h"
#include "file_names.h"
#include "master_record.h"
#include "text_util.h"
#include "xmaster_record.h"

namespace corvat {

std::string FileError(const char* verb, const std::filesystem::path& path,
                      const std::error_code& ec) {
    return std::string("Cannot ") + verb + " " + path.string() + ":\n" + ec.message();
}

std::string ReadWholeFile(FileSystem& fs, const std::filesystem::path& path,
                          std::string& contents) {
    std::error_code ec;
    auto file = fs.Open(path, OpenMode::Read, ec);
    if (!file) return FileError("open", path, ec);
    contents.clear();
    std::array<char, 16 * 1024> buffer{};
    for (;;) {
        const std::size_t got = file->Read(buffer.data(), buffer.size(), ec);
        if (ec) return FileError("read", path, ec);
        if (got == 0) break;
        contents.append(buffer.data(), got);
    }
    file->Close(ec);
    return ec ? FileError("read", path, ec) : std::string();
}

bool PathExists(FileSystem& fs, const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(fs.Status(path, ec));
}

bool LinkExists(FileSystem& fs, const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(fs.SymlinkStatus(path, ec));
}

std::string WriteBytes(File& file, const std::filesystem::path& path, const void* data,
                       std::size_t size) {
    std::error_code ec;
    file.Write(data, size, ec);
    return ec ? FileError("write", path, ec) : std::string();
}

namespace {

// Creates `path`, fills it and makes it durable; leaves nothing behind on
// failure.
std::string WriteDurably(FileSystem& fs, const std::filesystem::path& path,
                         const std::function<std::string(File&)>& fill, bool flush = true) {
    std::error_code ec;
    auto file = fs.Open(path, OpenMode::Truncate, ec);
    if (!file) return FileError("create", path, ec);
    std::string error = fill(*file);
    if (error.empty() && flush) {
        file->Flush(ec);
        if (ec) error = FileError("write", path, ec);
    }
    std::error_code closeEc;
    file->Close(closeEc);
    if (error.empty() && closeEc) error = FileError("write", path, closeEc);
    if (!error.empty()) {
        std::error_code ignored;
        fs.Remove(path, ignored);
    }
    return error;
}

}  // namespace

std::string WriteFileFlushedLater(FileSystem& fs, const std::filesystem::path& path,
                                  const std::function<std::string(File&)>& fill) {
    return WriteDurably(fs, path, fill, false);
}

std::string FlushFiles(FileSystem& fs, const std::vector<std::filesystem::path>& paths,
                       const std::filesystem::path& dir) {
    std::error_code ec;
    for (const auto& path : paths) {
        // The system keeps a file's unwritten data with the file, not with
        // the descriptor that wrote it: any descriptor can push it out.
        auto file = fs.Open(path, OpenMode::Read, ec);
        if (file) file->Flush(ec);
        std::error_code closeEc;
        if (file) file->Close(closeEc);
        if (ec) return FileError("write", path, ec);
    }
    fs.SyncDirectory(dir, ec);
    return ec ? FileError("write", dir, ec) : std::string();
}

std::string ReplaceFile(FileSystem& fs, const std::filesystem::path& target,
                        const std::filesystem::path& temp,
                        const std::function<std::string(File&)>& fill, bool* replaced,
                        SyncDirectory sync) {
    if (replaced != nullptr) *replaced = false;
    std::string error = WriteDurably(fs, temp, fill);
    if (!error.empty()) return error;
    std::error_code ec;
    fs.Rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs.Remove(temp, ignored);
        return FileError("replace", target, ec);
    }
    if (replaced != nullptr) *replaced = true;
    if (sync == SyncDirectory::No) return {};
    fs.SyncDirectory(target.parent_path(), ec);
    return ec ? FileError("write", target.parent_path(), ec) : std::string();
}

bool IsTemporaryName(const std::string& name) {
    for (const std::string index : {kMasterName, kEmasterName, kXmasterName}) {
        if (EqualsIgnoringCase(name, index + kNewMasterSuffix) ||
            EqualsIgnoringCase(name, index + kReplacementSuffix)) {
            return true;
        }
    }
    const std::string_view suffix = kReplacementSuffix;
    if (name.size() <= suffix.size() + 1 || (name[0] != 'F' && name[0] != 'f')) return false;
    const std::string_view number =
        std::string_view(name).substr(1, name.size() - 1 - suffix.size());
    return number.find_first_not_of("0123456789") == std::string_view::npos &&
           EqualsIgnoringCase(std::string_view(name).substr(name.size() - suffix.size()), suffix);
}

void RemoveStaleTemporaryFiles(FileSystem& fs, const std::filesystem::path& dir) {
    std::error_code ec;
    std::vector<std::filesystem::path> stale;
    for (const auto& path : fs.ListDirectory(dir, ec)) {
        if (IsTemporaryName(path.filename().string())) stale.push_back(path);
    }
    // A file that will not go is overwritten by the rewrite that needs its
    // name, and check reports it meanwhile.
    for (const auto& path : stale) fs.Remove(path, ec);
}

}  // namespace corvat
