#include <gtest/gtest.h>

#include "builders.h"
#include "cli_runner.h"

namespace corvat::test {
namespace {

TEST(CheckCommandRun, PassesADirectoryMadeByConvertAndFailsADamagedOne) {
    TempDir dir;
    WriteText(dir / "a.csv", "01/15/97,1,2,0.5,1.5,100,7\n01/16/97,1,2,0.5,1.5,100,7\n");
    WriteText(dir / "b.csv", "01/17/97,1,2,0.5,1.5,100,7\n");
    CliRun r = RunCorvatCli({"convert", (dir / "a.csv").string(), (dir / "b.csv").string(), "--dir",
                             dir.Path().string(), "--date-format", "MM_DD_YY"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = RunCorvatCli({"check", dir.Path().string()});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "No problems found.\n");

    // A missing description file is normal (the charting programs write
    // none); one that exists and cannot be right is not.
    std::filesystem::remove(dir / "F1.DOP");
    WriteText(dir / "F2.DOP", "\"BOGUS\",0,0\r\n");
    Bytes bytes = ReadBytes(dir / "F1.DAT");
    bytes.pop_back();
    WriteBytes(dir / "F1.DAT", bytes);
    WriteText(dir / "F1.NEW", "");
    r = RunCorvatCli({"check", dir.Path().string()});
    EXPECT_EQ(r.code, 1);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0],
              (dir / "F1.DAT").string() +
                  ": length 83 disagrees with its header: 3 records of 28 bytes make 84.");
    EXPECT_NE(lines[1].find("F2.DOP: line 1 names an unknown field"), std::string::npos);
    EXPECT_EQ(lines[2],
              (dir / "F1.NEW").string() + ": temporary file left by an interrupted rewrite.");
    EXPECT_EQ(lines[3], "3 findings.");

    r = RunCorvatCli({"check", (dir / "none").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("No such file"), std::string::npos);
    EXPECT_EQ(RunCorvatCli({"check"}).code, 2);
}

TEST(CheckCommandRun, RecursiveFollowsTheTreeAndReportsLoops) {
    TempDir dir;
    const auto sub = dir / "SUB";
    std::filesystem::create_directory(sub);
    WriteBytes(dir / "MASTER", MasterBytes(1, 1, {DirectoryEntry(1, "sub")}));
    WriteBytes(sub / "MASTER", MasterBytes(1, 1, {DirectoryEntry(1, "LOOP")}));
    std::filesystem::create_directory_symlink(dir.Path(), sub / "LOOP");
    CliRun r = RunCorvatCli({"check", dir.Path().string()});
    EXPECT_EQ(r.code, 0) << r.out;
    r = RunCorvatCli({"check", "-r", dir.Path().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find((sub / "MASTER").string() + ": directory entry 1 (LOOP) is not followed"),
              std::string::npos)
        << r.out;
}

}  // namespace
}  // namespace corvat::test
