#include "master_search.h"

#include <gtest/gtest.h>

#include "builders.h"
#include "text_util.h"

namespace corvat::test {
namespace {

struct Tree {
    TempDir root;
    void Master(const std::string& sub, const std::vector<MasterRecord>& entries) {
        const auto dir = sub.empty() ? root.Path() : root / sub;
        std::filesystem::create_directories(dir);
        WriteBytes(dir / "MASTER", MasterBytes(static_cast<int>(entries.size()),
                                               static_cast<int>(entries.size()), entries));
    }
    std::int16_t Find(const std::string& key, std::string* where = nullptr) {
        MasterRecord record{};
        std::string found;
        const auto result =
            FindSecurity(root.Path().string(), key, record, found, RealFileSystem());
        if (where) *where = found;
        return result;
    }
};

TEST(FindSecurity, MatchesSymbolOrNameInAnyCase) {
    Tree t;
    auto msft = SecurityEntry(4, "MSFT", "MICROSOFT");  // zero-padded, as other programs write
    std::fill(msft.begin() + 36 + 4, msft.begin() + 52, 0);
    std::fill(msft.begin() + 7 + 9, msft.begin() + 23, 0);
    t.Master("", {SecurityEntry(1, "IBM", "INTL BUSINESS"), SecurityEntry(2, "ABCDEFGHIJKLMNOP"),
                  SecurityEntry(3, "BRK A", "N2"), SecurityEntry(5, "GE AB", "N3"), msft});
    for (const char* key :
         {"ibm", "Intl Business", "abcdefghijklmnop", "BRK A", "msft", "Microsoft"})
        EXPECT_EQ(t.Find(key), kSecurityFound) << key;
    // The symbol's second word is longer in the field than in the key.
    for (const char* key : {"IB", "IBMX", "GE A"}) EXPECT_EQ(t.Find(key), kSecurityNotFound) << key;
}

TEST(FindSecurity, SearchesSubDirectoriesInAnyCaseAfterTheTopMaster) {
    Tree t;
    auto hidden = DirectoryEntry(3, "HID");
    hidden[7] = ' ';  // a blank first byte makes it a security
    t.Master("", {DirectoryEntry(1, "SUB"), SecurityEntry(2, "TOP"), hidden});
    t.Master("SUB", {SecurityEntry(1, "DEEP"), DirectoryEntry(2, "LOW")});
    t.Master("HID", {SecurityEntry(1, "HIDDEN")});
    std::filesystem::create_directories(t.root / "SUB" / "low");
    WriteBytes(t.root / "SUB" / "low" / "master", MasterBytes(1, 1, {SecurityEntry(1, "LOW")}));
    std::string where;
    EXPECT_EQ(t.Find("deep", &where), kSecurityFound);
    EXPECT_EQ(where, t.root.Path().string() + "/SUB/");
    EXPECT_EQ(t.Find("TOP", &where), kSecurityFound);
    EXPECT_EQ(where, t.root.Path().string() + "/");
    EXPECT_EQ(t.Find("LOW"), kSecurityFound);
    EXPECT_EQ(t.Find("HIDDEN"), kSecurityNotFound);
}

TEST(FindSecurity, MissingMastersAndShortMastersAreSkipped) {
    Tree t;
    EXPECT_EQ(t.Find("ANY"), kSecurityNotFound) << "no master at all";
    t.Master("", {DirectoryEntry(1, "NOPE"), DirectoryEntry(2, "SUB")});
    t.Master("SUB", {SecurityEntry(1, "FOUND")});
    EXPECT_EQ(t.Find("FOUND"), kSecurityFound);

    // A count above the records present: those present are compared, the
    // directory entries are not followed.
    WriteBytes(t.root / "MASTER",
               MasterBytes(9, 9, {SecurityEntry(1, "ONE"), DirectoryEntry(2, "SUB")}));
    EXPECT_EQ(t.Find("ONE"), kSecurityFound);
    EXPECT_EQ(t.Find("FOUND"), kSecurityNotFound);
}

TEST(TextFunctions, CountFindAndTrim) {
    EXPECT_EQ(CountChar("a b c", ' '), 2);
    EXPECT_EQ(FindNthChar("a b c", ' ', 2), 3);
    EXPECT_EQ(FindNthChar("a b c", ' ', 3), 5);
    std::string text = "AB   ";
    TrimTrailingSpaces(text);
    EXPECT_EQ(text, "AB");
    text = "   ";
    TrimTrailingSpaces(text);
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace corvat::test
