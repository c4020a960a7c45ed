#include "test_support.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvat::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvat-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave a directory without write or search rights.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_path, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
    }
    std::filesystem::remove_all(m_path, ec);
}

bool RecordingSink::AskYesNo(const std::string& text) {
    RecordingSink& target = Target();
    target.messages.push_back(text);
    target.questions.push_back(text);
    if (target.whileAsking) target.whileAsking();
    if (target.answers.empty()) return target.answer;
    const bool next = target.answers.front();
    target.answers.pop_front();
    return next;
}

std::string RecordingSink::All() const {
    std::string all;
    for (const auto& message : messages) all += message + "\n";
    return all;
}

int MemoryProfile::GetProfileInt(const std::string& s, const std::string& k, int d) {
    auto it = values.find(s + "/" + k);
    return it == values.end() ? d : std::stoi(it->second);
}

std::string MemoryProfile::GetProfileString(const std::string& s, const std::string& k,
                                            const std::string& d) {
    auto it = values.find(s + "/" + k);
    return it == values.end() ? d : it->second;
}

void MemoryProfile::WriteProfileInt(const std::string& s, const std::string& k, int v) {
    WriteProfileString(s, k, std::to_string(v));
}

void MemoryProfile::WriteProfileString(const std::string& s, const std::string& k,
                                       const std::string& v) {
    values[s + "/" + k] = v;
    order.push_back(k);
}

Bytes ReadBytes(const std::filesystem::path& path) {
    const std::string bytes = ReadFileBytes(path);
    return Bytes(bytes.begin(), bytes.end());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> FileNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

DirSnapshot Snapshot(const std::filesystem::path& dir) {
    DirSnapshot files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            files[std::filesystem::relative(entry.path(), dir).string()] =
                ReadFileBytes(entry.path());
        }
    }
    return files;
}

}  // namespace corvat::test
