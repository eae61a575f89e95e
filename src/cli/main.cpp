// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli: the program's rules without the window, one command per call.

#include "Commands.h"

#include "TextFile.h"

#include <cstdio>
#include <exception>

namespace stavio::cli {

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments&);
};

// Every command of the tool; the usage text below lists them in the same order.
// clang-format off
constexpr Command kCommands[] = {
    {"shortname", ShortNameCommand},
    {"foldername", FolderNameCommand},
    {"script", ScriptCommand},
    {"render", RenderCommand},
    {"info", InfoCommand},
    {"tree", TreeCommand},
    {"resave", ResaveCommand},
    {"tags", TagsCommand},
    {"convert", ConvertCommand},
};
// clang-format on

constexpr const char* kUsage =
    "Usage: stavio-cli COMMAND [ARGUMENTS...]\n"
    "\n"
    "Commands:\n"
    "  shortname PATH...        print the list name of each file or folder\n"
    "                           (an empty line for a path that does not exist)\n"
    "  foldername TEXT...       print the folder name made from each typed text\n"
    "  script PROJECT           print the SCRIPT.TXT the project renders to\n"
    "  render PROJECT [TARGET] [--force] [--all]\n"
    "                           write the script and copy the media that changed into\n"
    "                           TARGET (made when missing), or into the project's target\n"
    "                           folder, which must exist; --force renders even when the\n"
    "                           target lacks the free space; --all copies every file;\n"
    "                           Ctrl+C stops the copy and removes the script (exit 130)\n"
    "  info PROJECT [TARGET]    print the project's figures and, for an existing\n"
    "                           target, its free space and what a render would copy\n"
    "  tree PROJECT             print the project's Copy List and Delete List\n"
    "  resave PROJECT [OUT]     load the project and save it again (to OUT, or over PROJECT)\n"
    "  tags FILE...             print each song's title, artist, album, track and length in\n"
    "                           seconds, separated by tabs (empty fields for absent tags)\n"
    "  convert SOURCE OUT.mp3   convert a FLAC, Ogg, Opus, AAC, ALAC, WAV, AIFF, WavPack or\n"
    "                           WMA song to an MP3 file with its tags and cover, with the\n"
    "                           conversion settings of stavio.conf; never over SOURCE\n"
    "\n"
    "Options:\n"
    "  --help                   show this help\n"
    "  --version                show the version\n";

} // namespace

int UsageError() {
    std::fputs(kUsage, stderr);
    return kUsageError;
}

int Run(int argc, char** argv) {
    if (argc < 2)
        return UsageError();
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("stavio-cli %s\n", STAVIO_VERSION);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (first == command.name)
            return command.run(Arguments(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "stavio-cli: unknown command '%s'\n", first.c_str());
    return UsageError();
}

} // namespace stavio::cli

int main(int argc, char** argv) {
    try {
        return stavio::cli::Run(argc, argv);
    } catch (const stavio::FileError& error) {
        std::fprintf(stderr, "stavio-cli: %s: %s\n", error.what(), error.Path().c_str());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "stavio-cli: %s\n", error.what());
        return 2;
    }
}
