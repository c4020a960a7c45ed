// Real permission bits, through corvat-cli run as an ordinary user (as
// nobody when the tests run as root, where permission bits do not stop
// reads): a read-only data directory, an unreadable one, an unreadable
// MASTER. Each is refused with the system's reason and changes nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_runner.h"
#include "reliability_fixture.h"

namespace corvat::test {
namespace {

namespace fs = std::filesystem;

class CliPermissions : public ::testing::Test {
protected:
    void SetUp() override {
        fs::permissions(m_work.Path(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
        fs::create_directory(m_dir);
        Portfolio::Build(m_dir);
        WriteFileBytes(m_input, PriceRows(5));
        fs::permissions(m_input, fs::perms::owner_read | fs::perms::owner_write |
                                     fs::perms::group_read | fs::perms::others_read);
        // The portfolio belongs to root; nobody may only read it.
        if (::geteuid() == 0 && RunCliProcess({"--version"}, m_errors, true) != 0) {
            GTEST_SKIP() << "corvat-cli cannot run as nobody here: " << ReadFileBytes(m_errors);
        }
    }

    void Restrict(const fs::path& path, fs::perms perms) {
        fs::permissions(path, perms);
        m_restricted.push_back(path);
    }

    void TearDown() override {
        std::error_code gone;  // MASTER is removed on the way
        for (const auto& path : m_restricted) fs::permissions(path, fs::perms::owner_all, gone);
    }

    int Convert(const std::string& master) {
        return RunCliProcess({"convert", m_input.string(), "--dir", m_dir.string(), "--symbol",
                              "NEWSYM", "--master", master, "--date-format", "MM_DD_CCYY"},
                             m_errors, true);
    }

    std::string Errors() { return ReadFileBytes(m_errors); }

    TempDir m_work;
    fs::path m_dir = m_work / "data";
    fs::path m_input = m_work / "prices.csv";
    fs::path m_errors = m_work / "stderr.txt";
    std::vector<fs::path> m_restricted;
};

const fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;

TEST_F(CliPermissions, EachIsRefusedWithTheReasonAndChangesNothing) {
    const auto refused = [&](const std::string& master, const std::vector<std::string>& says) {
        SCOPED_TRACE(says.front());
        const DirSnapshot before = Snapshot(m_dir);
        EXPECT_EQ(Convert(master), 1);
        for (const auto& part : says) EXPECT_NE(Errors().find(part), std::string::npos) << Errors();
        EXPECT_EQ(Snapshot(m_dir), before);
        EXPECT_TRUE(TemporaryFiles(m_dir).empty());
    };
    Restrict(m_dir, fs::perms::owner_all);  // unsearchable
    refused("existing", {"Permission denied"});
    Restrict(m_dir, kReadOnly);
    refused("existing", {"Conversion failed.", "Permission denied"});
    Restrict(m_dir / "MASTER", fs::perms::owner_write);
    fs::permissions(m_dir, kReadOnly | fs::perms::owner_write);
    refused("existing", {"MASTER", "Permission denied"});
    fs::permissions(m_dir, fs::perms::owner_all);
    fs::remove(m_dir / "MASTER");
    Restrict(m_dir, kReadOnly);
    refused("new", {"F1.DAT", "Permission denied"});
}

}  // namespace
}  // namespace corvat::test
