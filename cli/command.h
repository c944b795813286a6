// SPDX-License-Identifier: MIT
// Subcommands of orv5800-cli. Each lives in its own cmd_*.cpp and registers itself with a
// file-scope ORV_CLI_COMMAND, so adding one needs no edit elsewhere.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core/scope/program_folder.h"

namespace orv::cli {

struct GlobalOptions {
    ProgramFolder program_folder; // --home DIR, else the executable's folder
};

using Args = std::span<const std::string_view>;
using CommandFn = int (*)(const GlobalOptions& options, Args args);

struct Command {
    std::string_view name;
    std::string_view usage;   // arguments after the name, for the help text
    std::string_view summary;
    CommandFn run;
};

bool register_command(const Command& command);
const std::vector<Command>& commands();

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

} // namespace orv::cli

#define ORV_CLI_CONCAT_(a, b) a##b
#define ORV_CLI_CONCAT(a, b) ORV_CLI_CONCAT_(a, b)
#define ORV_CLI_COMMAND(...) \
    [[maybe_unused]] static const bool ORV_CLI_CONCAT(orv_cli_registered_, __LINE__) = \
        ::orv::cli::register_command(::orv::cli::Command{__VA_ARGS__})
