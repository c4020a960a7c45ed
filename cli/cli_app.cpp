#include "cli_app.h"

#include <unistd.h>

#include <iostream>
#include <memory>

#include "check_command.h"
#include "command.h"
#include "convert_command.h"
#include "detect_command.h"
#include "dump_command.h"
#include "list_command.h"
#include "remove_command.h"

namespace corvat {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunCli(args, out, err, false);
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool terminal) {
    CLI::App app("Converts delimited text price files into MetaStock/CompuTrac data directories.",
                 "corvat-cli");
    const std::string version = std::string("corvat-cli ") + CORVAT_VERSION;
    app.set_version_flag("--version", version);
    app.require_subcommand(1);
    app.footer(
        "Examples:\n"
        "  corvat-cli convert prices.csv --dir ~/charts --symbol IBM --name \"IBM CORP\"\n"
        "      --date-format MM_DD_CCYY --skip 1\n"
        "  corvat-cli convert exports/*.csv --dir ~/charts --date-format CCYYMMDD\n"
        "  corvat-cli list ~/charts --recursive\n"
        "  corvat-cli dump ~/charts IBM --format csv > ibm.csv\n"
        "  corvat-cli check ~/charts --recursive\n"
        "\n"
        "Run corvat-cli COMMAND --help for a command's options.\n");

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ConvertCommand>());
    commands.push_back(std::make_unique<DetectCommand>());
    commands.push_back(std::make_unique<ListCommand>());
    commands.push_back(std::make_unique<DumpCommand>());
    commands.push_back(std::make_unique<CheckCommand>());
    commands.push_back(std::make_unique<RemoveCommand>());
    for (auto& command : commands) command->SetTerminal(terminal);
    std::vector<std::pair<CLI::App*, Command*>> registered;
    for (auto& command : commands) registered.emplace_back(command->Register(app), command.get());

    // CLI11 parses from the back of a reversed list.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitSuccess;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitSuccess;
    } catch (const CLI::CallForVersion&) {
        out << version << '\n';
        return kExitSuccess;
    } catch (const CLI::ParseError& e) {
        err << e.what() << "\nRun with --help for more information.\n";
        return kExitUsage;
    }
    for (auto& [sub, command] : registered) {
        if (!sub->parsed()) continue;
        try {
            return command->Execute(out, err);
        } catch (const UsageError& e) {
            err << e.what() << '\n';
            return kExitUsage;
        }
    }
    return kExitUsage;
}

int RunCli(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}

}  // namespace corvat
