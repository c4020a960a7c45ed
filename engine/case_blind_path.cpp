#include "case_blind_path.h"

#include <system_error>

#include "text_util.h"

namespace corvat {

std::filesystem::path FindIgnoringCase(const std::filesystem::path& dir, std::string_view name) {
    std::filesystem::path exact = dir / std::string(name);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) return exact;

    // Several names may differ only in case; take the smallest so the
    // choice does not depend on the order the directory lists them in.
    std::filesystem::path best;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, name) && (best.empty() || entry < best.filename().string())) {
            best = it->path();
        }
    }
    return best.empty() ? exact : best;
}

}  // namespace corvat
