#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "converter.h"
#include "master_record.h"
#include "message_sink.h"
#include "profile.h"

namespace corvat::test {

class RecordingMessages final : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        shown.push_back(text);
        if (whileAsking) whileAsking();
        return answer;
    }
    std::vector<std::string> shown;
    bool answer = false;
    std::function<void()> whileAsking;  // another program at work meanwhile
};

class MemoryProfile final : public Profile {
public:
    int GetProfileInt(const std::string& s, const std::string& k, int d) override {
        auto it = values.find(s + "/" + k);
        return it == values.end() ? d : std::stoi(it->second);
    }
    std::string GetProfileString(const std::string& s, const std::string& k,
                                 const std::string& d) override {
        auto it = values.find(s + "/" + k);
        return it == values.end() ? d : it->second;
    }
    void WriteProfileInt(const std::string& s, const std::string& k, int v) override {
        values[s + "/" + k] = std::to_string(v);
        order.push_back(k);
    }
    void WriteProfileString(const std::string& s, const std::string& k,
                            const std::string& v) override {
        values[s + "/" + k] = v;
        order.push_back(k);
    }
    std::map<std::string, std::string> values;
    std::vector<std::string> order;
};

// A fresh directory under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("corvat-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The names a directory holds, sorted.
inline std::vector<std::string> FileNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A master built by hand: a header with the given counts, then entries.
inline Bytes MasterBytes(std::int16_t count, std::int16_t second,
                         const std::vector<MasterRecord>& entries) {
    MasterRecord header{};
    WriteInt16(header, master::kEntryCount, count);
    WriteInt16(header, master::kSecondCounter, second);
    Bytes bytes(header.begin(), header.end());
    for (const auto& e : entries) bytes.insert(bytes.end(), e.begin(), e.end());
    return bytes;
}

inline MasterRecord SecurityEntry(std::uint8_t number, const std::string& symbol,
                                  const std::string& name = "") {
    return MakeSecurityEntry(number, 7, name.empty() ? symbol : name, symbol, {0, 0, 0, 0});
}

inline MasterRecord DirectoryEntry(std::uint8_t number, const std::string& dir) {
    MasterRecord entry{};
    entry[0] = number;
    std::fill(entry.begin() + 7, entry.begin() + 18, ' ');
    std::copy(dir.begin(), dir.end(), entry.begin() + 7);
    std::copy_n("<DIR>", 5, entry.begin() + 18);
    return entry;
}

// A job filled as the desktop program fills it from the profile defaults:
// all seven fields in columns 1 to 7, comma, MMDDYY, nothing skipped.
struct JobFixture {
    RecordingMessages messages;
    MemoryProfile profile;
    TempDir dir;
    CConverter job{messages, profile, RealFileSystem()};

    JobFixture() {
        job.m_bUseExisting = 0;
        for (int i = 0; i < kFieldSlots; ++i) {
            job.m_bFieldOn[static_cast<std::size_t>(i)] = 1;
            job.m_nColumn[static_cast<std::size_t>(i)] = i;
        }
        job.m_szPath = dir.path().string();
        job.m_szSymbol = "XYZ";
        job.m_szName = "XYZ CORP";
        job.m_szDelimiter = ",";
        job.m_nDateFormat = 9;
    }

    void OnlyDateAndClose() {
        job.m_bFieldOn = {1, 0, 0, 0, 1, 0, 0};
        job.m_nColumn[kCloseField] = 1;
    }

    int Convert(const std::string& text) {
        WriteText(dir / "input.txt", text);
        job.m_strInputPath = (dir / "input.txt").string();
        return job.Run();
    }
};

}  // namespace corvat::test
