#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "master_record.h"
#include "message_sink.h"
#include "profile.h"

namespace corvat::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it (rights restored first) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Records messages and questions in order (questions also apart); answers questions from
// `answers`, then with `answer` once they run out. Given a target, it
// records into that one instead (for a sink the program owns and deletes).
class RecordingSink final : public MessageSink {
public:
    RecordingSink() = default;
    explicit RecordingSink(RecordingSink* target) : m_target(target) {}
    void ShowMessage(const std::string& text) override { Target().messages.push_back(text); }
    bool AskYesNo(const std::string& text) override;
    bool AskYesNoDefaultNo(const std::string& text) override {
        ++Target().noByDefault;
        return AskYesNo(text);
    }
    void Clear() { messages.clear(), questions.clear(); }
    // Messages and questions, one a line.
    std::string All() const;

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    int noByDefault = 0;  // how many of the questions had No as their default
    std::deque<bool> answers;
    bool answer = false;
    std::function<void()> whileAsking;  // another program at work meanwhile

private:
    RecordingSink& Target() { return m_target ? *m_target : *this; }
    RecordingSink* m_target = nullptr;
};

class MemoryProfile final : public Profile {
public:
    int GetProfileInt(const std::string& s, const std::string& k, int d) override;
    std::string GetProfileString(const std::string& s, const std::string& k,
                                 const std::string& d) override;
    void WriteProfileInt(const std::string& s, const std::string& k, int v) override;
    void WriteProfileString(const std::string& s, const std::string& k,
                            const std::string& v) override;
    std::map<std::string, std::string> values;
    std::vector<std::string> order;  // keys in the order written
};

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteFileBytes(path, text);
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
std::vector<std::string> Lines(const std::string& text);
// The names a directory holds, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& dir);

// Every regular file below `dir` by its relative path, with its bytes.
// Symbolic links are not followed.
using DirSnapshot = std::map<std::string, std::string>;
DirSnapshot Snapshot(const std::filesystem::path& dir);

}  // namespace corvat::test
