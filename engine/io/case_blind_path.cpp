#include "case_blind_path.h"

#include <system_error>

#include "file_ops.h"
#include "text_util.h"

namespace corvat {

std::filesystem::path FindIgnoringCase(FileSystem& fs, const std::filesystem::path& dir,
                                       std::string_view name) {
    std::filesystem::path exact = dir / std::string(name);
    if (LinkExists(fs, exact)) return exact;

    // Several names may differ only in case; take the smallest so the
    // choice does not depend on the order the directory lists them in.
    std::error_code ec;
    std::filesystem::path best;
    for (const auto& path : fs.ListDirectory(dir, ec)) {
        const std::string entry = path.filename().string();
        if (EqualsIgnoringCase(entry, name) && (best.empty() || entry < best.filename().string())) {
            best = path;
        }
    }
    return best.empty() ? exact : best;
}

}  // namespace corvat
