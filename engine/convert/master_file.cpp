#include "case_blind_path.h"
#include "converter.h"
#include "date_codec.h"
#include "field_bitset.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_update.h"
#include "master_record.h"

namespace corvat {
bool CConverter::ResolveOutputPath() {
    std::error_code ec;
    const auto dir = m_szPath.empty() ? std::filesystem::path() : m_fs.Canonical(m_szPath, ec);
    if (m_szPath.empty() || ec || !std::filesystem::is_directory(m_fs.Status(dir, ec))) {
        Report(m_szPath.empty() ? std::string("Path does not exist")
                                : "Path does not exist\n" + m_szPath);
        return false;
    }
    m_szPath = dir.string();
    return true;
}

int CConverter::CheckOutputPath() {
    if (!ResolveOutputPath()) return 1;
    const std::filesystem::path dir = m_szPath;
    std::error_code ec;
    const auto masterPath = FindIgnoringCase(m_fs, dir, kMasterName);
    m_szMasterPath = masterPath.string();

    if (m_bUseExisting) {
        auto file = m_fs.Open(masterPath, OpenMode::Read, ec);
        if (!file) {
            Report(ec == std::errc::no_such_file_or_directory
                       ? std::string("Path specified does not point to a Master file")
                       : FileError("open", masterPath, ec));
            return 1;
        }
        file->Close(ec);
        return 0;
    }
    // When the system cannot say whether a master is there, one may be:
    // making a new one would replace it.
    const auto status = m_fs.SymlinkStatus(masterPath, ec);
    if (ec) {
        Report(FileError("examine", masterPath, ec));
        return 1;
    }
    if (std::filesystem::exists(status)) {
        Report("New Master chosen but one already exists");
        return 1;
    }
    // The new master is made by the run's commit, entry and all.
    return 0;
}

}  // namespace corvat
