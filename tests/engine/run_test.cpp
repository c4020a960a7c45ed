#include <gtest/gtest.h>

#include "builders.h"

namespace corvat::test {
namespace {

TEST(Run, SavesPathSymbolNameAfterRegistration) {
    JobFixture f;
    f.job.m_szPath = (f.dir.Path() / "." / "").string();
    ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0);
    EXPECT_EQ(f.profile.order, (std::vector<std::string>{"Path", "Symbol", "Name"}));
    EXPECT_EQ(f.profile.values["Setting/Path"], std::filesystem::canonical(f.dir.Path()).string());
    EXPECT_EQ(f.profile.values["Setting/Symbol"], "XYZ");
    EXPECT_EQ(f.profile.values["Setting/Name"], "XYZ CORP");
}

TEST(Run, RelativeDirectoryBecomesAbsoluteWithoutChangingTheWorkingDirectory) {
    JobFixture f;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(f.dir.Path());
    std::filesystem::create_directory(f.dir / "out");
    WriteText(f.dir / "in.txt", "011597,1,2,3,4,5,6\n");
    f.job.m_szPath = "out";
    f.job.m_strInputPath = "in.txt";
    const int result = f.job.Run();
    std::filesystem::current_path(before);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(f.job.m_szPath, std::filesystem::canonical(f.dir / "out").string());
    EXPECT_TRUE(std::filesystem::exists(f.dir / "out" / "MASTER"));
}

// Refused before any change, the profile left alone.
TEST(Run, EarlyStopsLeaveTheProfileAlone) {
    const std::string path = "/nonexistent-corvat/missing";
    const struct {
        void (*set)(CConverter&);
        std::string message;
    } cases[] = {
        {[](CConverter& job) { job.m_szPath = "/nonexistent-corvat/missing"; },
         "Path does not exist\n" + path},
        {[](CConverter& job) { job.m_bUseExisting = 1; },
         "Path specified does not point to a Master file"},
        {[](CConverter& job) { job.m_bFieldOn = {1, 0, 0, 0, 0, 0, 0}; },
         "You need to select more columns"},
        {[](CConverter& job) { job.m_strInputPath = "/nonexistent-corvat/in.txt"; },
         "Cannot open /nonexistent-corvat/in.txt:\n"},
    };
    for (const auto& c : cases) {
        JobFixture f;
        WriteText(f.dir / "input.txt", "011597,1,2,3,4,5,6\n");
        f.job.m_strInputPath = (f.dir / "input.txt").string();
        c.set(f.job);
        EXPECT_EQ(f.job.Run(), 1);
        ASSERT_EQ(f.messages.messages.size(), 1u);
        EXPECT_EQ(f.messages.messages[0].rfind(c.message, 0), 0u) << f.messages.messages[0];
        EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER"));
        EXPECT_TRUE(f.profile.values.empty());
        std::error_code ec;
        EXPECT_TRUE(RealFileSystem().TryLockDirectory(f.dir.Path(), LockMode::Exclusive, ec))
            << "the directory's lock went with the failed run";
    }
}

TEST(Run, ADirectoryChangedWhileTheUserWasAskedIsLeftAlone) {
    const Bytes other = MasterBytes(0, 0, {});  // another program's, made meanwhile
    for (const bool yes : {true, false}) {
        JobFixture f;
        f.job.m_bUseExisting = 1;
        f.job.m_offerNewMaster = true;
        f.messages.answer = yes;
        f.messages.whileAsking = [&] { WriteBytes(f.dir / "MASTER", other); };
        EXPECT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 1);
        EXPECT_EQ(f.messages.messages.back(),
                  std::filesystem::canonical(f.dir.Path()).string() +
                      " changed while you were being asked; try again.");
        EXPECT_EQ(FileNames(f.dir.Path()), (std::vector<std::string>{"MASTER", "input.txt"}));
        EXPECT_EQ(ReadBytes(f.dir / "MASTER"), other);
    }
    // Asked to update IBM, which meanwhile became another file's.
    JobFixture f;
    WriteBytes(f.dir / "MASTER", MasterBytes(1, 1, {WriteSoundSecurity(f.dir.Path(), 1, "IBM")}));
    const Bytes moved = MasterBytes(1, 2, {WriteSoundSecurity(f.dir.Path(), 2, "IBM")});
    f.job.m_bUseExisting = 1;
    f.job.m_bAskUpdate = true;
    f.job.m_szSymbol = "IBM";
    f.messages.answer = true;
    f.messages.whileAsking = [&] { WriteBytes(f.dir / "MASTER", moved); };
    EXPECT_EQ(f.Convert("011797,1,2,3,4,5,6\n"), 1);
    EXPECT_NE(f.messages.messages.back().find(" changed while you were being asked"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER"), moved);
}

TEST(Run, DuplicateSymbolIsRefusedBySymbolOrName) {
    for (const char* symbol : {"xyz", "xyz corp"}) {
        JobFixture f;
        const Bytes before = MasterBytes(1, 1, {SecurityEntry(1, "XYZ", "XYZ CORP")});
        WriteBytes(f.dir / "MASTER", before);
        f.job.m_bUseExisting = 1;
        f.job.m_szSymbol = symbol;
        EXPECT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 1);
        EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Duplicate Symbol"});
        EXPECT_EQ(ReadBytes(f.dir / "MASTER"), before);
        EXPECT_TRUE(f.profile.values.empty());
    }
}

TEST(Run, AFailedNewMasterRunLeavesNothingAndTheRetrySucceeds) {
    JobFixture f;
    f.job.m_nDateFormat = 3;  // the digits-only dates do not fit
    EXPECT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 1);
    EXPECT_EQ(FileNames(f.dir.Path()), std::vector<std::string>{"input.txt"});
    EXPECT_TRUE(f.profile.values.empty());

    RecordingSink messages;
    CConverter again(messages, f.profile, RealFileSystem());
    again.m_strInputPath = f.job.m_strInputPath;
    again.m_szPath = f.dir.Path().string();
    again.m_bFieldOn = f.job.m_bFieldOn;
    again.m_nColumn = f.job.m_nColumn;
    again.m_szSymbol = "XYZ";
    again.m_nDateFormat = 9;
    EXPECT_EQ(again.Run(), 0) << ::testing::PrintToString(messages.messages);
}

TEST(Run, BackupHoldsTheMasterAsItWasAndNoTemporaryFileIsLeft) {
    {
        JobFixture f;
        ASSERT_EQ(f.Convert("011597,1,2,3,4,5,6\n"), 0);
        EXPECT_FALSE(std::filesystem::exists(f.dir / "MASTER.BAK")) << "none of a new master";
    }
    JobFixture f;
    const Bytes before = MasterBytes(1, 1, {SecurityEntry(1, "AAA")});
    WriteBytes(f.dir / "MASTER", before);
    WriteText(f.dir / "MASTER.BAK", "old backup");
    f.job.m_bUseExisting = 1;
    ASSERT_EQ(f.Convert("011697,1,2,3,4,5,6\n"), 0);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER.BAK"), before);
    EXPECT_EQ(ReadBytes(f.dir / "MASTER").size(), 3u * 53);
    EXPECT_EQ(FileNames(f.dir.Path()),
              (std::vector<std::string>{"F2.DAT", "F2.DOP", "MASTER", "MASTER.BAK", "input.txt"}));
}

}  // namespace
}  // namespace corvat::test
