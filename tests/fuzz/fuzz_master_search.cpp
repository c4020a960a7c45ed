// FindSecurity and the read-back of data directories over arbitrary master
// bytes. The input is a key, then the bytes of up to four files split at
// "@@@@": the start directory's MASTER, SUB/MASTER, SUB/DEEP/MASTER and
// F1.DAT. The tree also holds a symbolic link from SUB/UP back to the start,
// so directory entries can make loops.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "data_directory_check.h"
#include "master_listing.h"
#include "master_search.h"
#include "master_tree.h"

namespace {

namespace fs = std::filesystem;

void Check(bool condition) {
    if (!condition) std::abort();
}

const fs::path& Root() {
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "corvat-fuzz-XXXXXX").string();
        Check(::mkdtemp(pattern.data()) != nullptr);
        const fs::path dir = pattern;
        fs::create_directories(dir / "SUB" / "DEEP");
        fs::create_directory_symlink("..", dir / "SUB" / "UP");
        std::atexit([] { fs::remove_all(Root()); });
        return dir;
    }();
    return root;
}

void Put(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const fs::path& root = Root();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t keyLength = std::min<std::size_t>(input[0] % 17, input.size() - 1);
    const std::string key(input.substr(1, keyLength));
    input.remove_prefix(1 + keyLength);

    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t split = input.find("@@@@");
        parts.push_back(input.substr(0, split));
        if (split == std::string_view::npos || parts.size() == 4) break;
        input.remove_prefix(split + 4);
    }
    const fs::path files[] = {root / "MASTER", root / "SUB" / "MASTER",
                              root / "SUB" / "DEEP" / "MASTER", root / "F1.DAT"};
    for (std::size_t i = 0; i < 4; ++i) {
        std::error_code ec;
        i < parts.size() ? Put(files[i], parts[i]) : void(fs::remove(files[i], ec));
    }

    corvat::MasterRecord record{};
    std::string foundDir;
    const std::int16_t result =
        corvat::FindSecurity(root.string(), key, record, foundDir, corvat::RealFileSystem());
    Check(result == corvat::kSecurityFound || result == corvat::kSecurityNotFound);
    if (result == corvat::kSecurityFound) Check(foundDir.rfind(root.string(), 0) == 0);

    corvat::MasterListing listing;
    if (corvat::ReadMasterListing(root, listing, corvat::RealFileSystem()).empty()) {
        Check(listing.Entries().size() <= listing.records.size());
    }
    const corvat::MasterTree tree = corvat::WalkMasterTree(root, corvat::RealFileSystem());
    Check(!tree.nodes.empty());
    (void)corvat::CheckDataDirectory(root, true, corvat::RealFileSystem());
    return 0;
}
