// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"

#ifndef ORV_VERSION
#define ORV_VERSION "0"
#endif

namespace orv::cli {

// Function-local so commands registered from other files during static initialisation find it.
static std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

bool register_command(const Command& command) {
    auto& list = registry();
    list.push_back(command);
    std::sort(list.begin(), list.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    return true;
}

const std::vector<Command>& commands() { return registry(); }

namespace {

void print_usage(std::FILE* out) {
    std::fprintf(out, "usage: orv5800-cli [--home DIR] COMMAND [ARGS]\n"
                      "       orv5800-cli --version\n\n"
                      "  --home DIR   use DIR as the program folder (setup/, images/, user folders)\n\n"
                      "commands:\n");
    for (const Command& c : commands()) {
        const std::string head = std::string(c.name) + (c.usage.empty() ? "" : " ") + std::string(c.usage);
        std::fprintf(out, "  %-28s %.*s\n", head.c_str(), static_cast<int>(c.summary.size()), c.summary.data());
    }
}

} // namespace
} // namespace orv::cli

int main(int argc, char** argv) {
    using namespace orv::cli;
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::optional<std::filesystem::path> home;

    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        const std::string_view a = args[i];
        if (a == "--version") {
            std::printf("orv5800-cli %s\n", ORV_VERSION);
            return kExitOk;
        }
        if (a == "--help" || a == "-h") {
            print_usage(stdout);
            return kExitOk;
        }
        if (a == "--home") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "orv5800-cli: --home needs a folder\n");
                return kExitUsage;
            }
            home = std::filesystem::path(args[++i]);
            continue;
        }
        std::fprintf(stderr, "orv5800-cli: unknown option %.*s\n", static_cast<int>(a.size()), a.data());
        print_usage(stderr);
        return kExitUsage;
    }
    if (i >= args.size()) {
        print_usage(stderr);
        return kExitUsage;
    }

    const std::string_view name = args[i];
    const auto& list = commands();
    const auto it = std::find_if(list.begin(), list.end(), [&](const Command& c) { return c.name == name; });
    if (it == list.end()) {
        std::fprintf(stderr, "orv5800-cli: unknown command %.*s\n", static_cast<int>(name.size()), name.data());
        print_usage(stderr);
        return kExitUsage;
    }
    GlobalOptions options{orv::ProgramFolder::resolve(home)};
    return it->run(options, Args(args).subspan(i + 1));
}
