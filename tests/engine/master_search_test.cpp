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
        WriteBytes(dir / "MASTER", MasterBytes(static_cast<std::int16_t>(entries.size()),
                                               static_cast<std::int16_t>(entries.size()), entries));
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
    t.Master("", {SecurityEntry(1, "IBM", "INTL BUSINESS")});
    EXPECT_EQ(t.Find("ibm"), kSecurityFound);
    EXPECT_EQ(t.Find("Intl Business"), kSecurityFound);
    EXPECT_EQ(t.Find("IB"), kSecurityNotFound);
    EXPECT_EQ(t.Find("IBMX"), kSecurityNotFound);
}

TEST(FindSecurity, SymbolPartFollowsTheBlanksOfTheKey) {
    Tree t;
    t.Master("", {SecurityEntry(1, "ABCDEFGHIJKLMNOP", "N1"), SecurityEntry(2, "BRK A", "N2"),
                  SecurityEntry(3, "GE AB", "N3")});
    EXPECT_EQ(t.Find("abcdefghijklmnop"), kSecurityFound);
    EXPECT_EQ(t.Find("BRK A"), kSecurityFound);
    EXPECT_EQ(t.Find("GE A"), kSecurityNotFound) << "second word longer in the field";
}

TEST(FindSecurity, ZeroPaddedFieldsFromOtherProgramsStillMatch) {
    Tree t;
    auto entry = SecurityEntry(1, "MSFT", "MICROSOFT");
    std::fill(entry.begin() + 36 + 4, entry.begin() + 52, 0);
    std::fill(entry.begin() + 7 + 9, entry.begin() + 23, 0);
    t.Master("", {entry});
    EXPECT_EQ(t.Find("msft"), kSecurityFound);
    EXPECT_EQ(t.Find("Microsoft"), kSecurityFound);
}

TEST(FindSecurity, SearchesSubDirectoriesAfterTheTopMaster) {
    Tree t;
    t.Master("", {DirectoryEntry(1, "SUB"), SecurityEntry(2, "TOP")});
    t.Master("SUB", {SecurityEntry(1, "DEEP")});
    std::string where;
    EXPECT_EQ(t.Find("deep", &where), kSecurityFound);
    EXPECT_EQ(where, t.root.Path().string() + "/SUB/");
    EXPECT_EQ(t.Find("TOP", &where), kSecurityFound);
    EXPECT_EQ(where, t.root.Path().string() + "/");
}

TEST(FindSecurity, DirectoryNamesMatchInAnyCase) {
    Tree t;
    t.Master("", {DirectoryEntry(1, "SUB")});
    std::filesystem::create_directories(t.root / "sub");
    WriteBytes(t.root / "sub" / "master", MasterBytes(1, 1, {SecurityEntry(1, "LOW")}));
    EXPECT_EQ(t.Find("LOW"), kSecurityFound);
}

TEST(FindSecurity, BlankFirstByteMakesADirectoryEntryASecurity) {
    Tree t;
    auto entry = DirectoryEntry(1, "SUB");
    entry[7] = ' ';
    t.Master("", {entry});
    t.Master("SUB", {SecurityEntry(1, "HIDDEN")});
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

TEST(FindSecurity, LoopsAndEscapingNamesEndTheSearch) {
    Tree t;
    t.Master("", {DirectoryEntry(1, "."), DirectoryEntry(2, ".."), DirectoryEntry(3, "A")});
    t.Master("A", {DirectoryEntry(1, "B")});
    t.Master("A/B", {DirectoryEntry(1, "LOOP")});
    std::filesystem::create_directory_symlink(t.root.Path(), t.root / "A" / "B" / "LOOP");
    EXPECT_EQ(t.Find("NOWHERE"), kSecurityNotFound);
}

TEST(FindSecurity, DeepChainsStopAtTheDepthLimit) {
    Tree t;
    std::string path;
    for (int depth = 0; depth <= kMaxSearchDepth + 1; ++depth) {
        t.Master(path, {DirectoryEntry(1, "D")});
        path += (path.empty() ? "" : "/") + std::string("D");
    }
    t.Master(path, {SecurityEntry(1, "BOTTOM")});
    EXPECT_EQ(t.Find("BOTTOM"), kSecurityNotFound);
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
