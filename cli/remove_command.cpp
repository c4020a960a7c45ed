#include "remove_command.h"

#include "security_removal.h"
#include "stream_message_sink.h"

namespace corvat {

CLI::App* RemoveCommand::Register(CLI::App& app) {
    auto* sub = app.add_subcommand(
        "remove", "Take securities out of a data directory, their files with them");
    sub->footer(
        "A security answers to its whole symbol, in any letter case, in DIR's own\n"
        "index files. Exit 1 when any SYMBOL is not there (the others are removed).\n\n"
        "Example:\n  corvat-cli remove ~/charts IBM MSFT");
    sub->add_option("DIR", m_dir, "data directory holding a MASTER")->required();
    sub->add_option("SYMBOL", m_symbols, "symbols of the securities to remove")->required();
    AddWaitOption(sub, m_waitSeconds);
    return sub;
}

int RemoveCommand::Execute(std::ostream& out, std::ostream& err) {
    StreamMessageSink messages(err);
    DeadlineWaiter waiter(messages, m_waitSeconds);
    SecurityRemoval removal(messages, RealFileSystem());
    removal.SetLockWaiter(waiter);
    removal.m_dir = m_dir;
    removal.m_symbols = m_symbols;
    const int result = removal.Run();
    for (const auto& removed : removal.RemovedSecurities()) {
        out << removed.symbol << ": removed, file number " << removed.fileNumber << '\n';
    }
    return result == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace corvat
