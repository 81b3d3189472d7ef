#include "cli/Completion.h"

#include <CLI/App.hpp>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace pixalto::cli {
namespace {

// What each file argument of a command reads, in the order of the arguments:
// extensions, "@dir" for a folder, "@none" for an argument that is no file,
// "" for any file. A command not listed here takes any file.
struct FileKinds {
    std::string_view command;
    std::array<std::string_view, 2> arguments;
};

constexpr std::string_view kPalettes = "gpl pal act tim clt";

constexpr FileKinds kFileKinds[] = {
    {"info", {"tim bmp"}},
    {"render", {"tim", "png"}},
    {"thumbnail", {"tim", "png"}},
    {"to-bmp", {"tim", "bmp"}},
    {"to-png", {"tim", "png"}},
    {"to-tim", {"bmp png", "tim"}},
    {"export-palette", {"tim png bmp", kPalettes}},
    {"import-palette", {"tim png bmp", kPalettes}},
    {"convert-folder", {"@dir"}},
    {"repair", {"tim", "tim"}},
    {"scan", {""}},
    {"extract", {"", "@none"}},
    {"insert", {"txt"}},
    {"check-disc", {"bin img"}},
};

// "tim bmp" as the patterns "*.[tT][iI][mM]" "*.[bB][mM][pP]", which match
// in any case without shell options.
std::string Patterns(std::string_view extensions) {
    if (extensions.empty() || extensions[0] == '@') {
        return std::string(extensions.empty() ? "@any" : extensions);
    }
    std::string patterns;
    std::string_view rest = extensions;
    while (!rest.empty()) {
        const auto end = std::min(rest.find(' '), rest.size());
        patterns += patterns.empty() ? "*." : " *.";
        for (const char c : rest.substr(0, end)) {
            const auto lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const auto upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            patterns += lower == upper ? std::string(1, c) : std::string{'[', lower, upper, ']'};
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return patterns;
}

std::string FileArgument(std::string_view command, std::size_t position) {
    for (const FileKinds& kinds : kFileKinds) {
        if (kinds.command == command && position < kinds.arguments.size()) {
            return Patterns(kinds.arguments[position]);
        }
    }
    return "@any";
}

std::string Names(const CLI::Option& option) {
    std::string names;
    for (const std::string& name : option.get_lnames()) {
        names += " --" + name;
    }
    for (const std::string& name : option.get_snames()) {
        names += " -" + name;
    }
    return names;
}

// One case of the script's switch: the command's options, those of them
// that take a value, and its file arguments in order.
std::string CommandCase(const CLI::App& command) {
    std::string options, valued, files;
    std::size_t position = 0;
    for (const CLI::Option* option : command.get_options()) {
        if (option->nonpositional()) {
            options += Names(*option);
            if (option->get_expected_max() > 0) {
                valued += Names(*option);
            }
        } else {
            files += " '" + FileArgument(command.get_name(), position++) + "'";
        }
    }
    return "        " + command.get_name() + ")\n            options='" + options.substr(1) +
           "'\n            valued='" + valued.substr(valued.empty() ? 0 : 1) +
           "'\n            files=(" + files.substr(files.empty() ? 0 : 1) + ")\n            ;;\n";
}

constexpr std::string_view kHead =
    R"(# bash completion for @PROGRAM@, written by '@PROGRAM@ --bash-completion'
# from the program's own commands and options.

# Adds the files of the cursor's word that match the kind of argument given:
# patterns (with folders to descend into), @dir, @any or @none.
_@FUNCTION@_files() {
    local cur=$1 kind=$2 pattern
    local IFS=$'\n'
    case $kind in
        @none) ;;
        @dir) COMPREPLY+=($(compgen -d -- "$cur")) ;;
        @any) COMPREPLY+=($(compgen -f -- "$cur")) ;;
        *)
            COMPREPLY+=($(compgen -d -- "$cur"))
            IFS=' '
            for pattern in $kind; do
                IFS=$'\n'
                COMPREPLY+=($(compgen -f -X "!$pattern" -- "$cur"))
            done
            ;;
    esac
}

_@FUNCTION@() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W '@COMMANDS@ --help -h --version' -- "$cur"))
        return
    fi
    local options valued files
    case ${COMP_WORDS[1]} in
)";

constexpr std::string_view kTail = R"(        *) return ;;
    esac
    # The words before the cursor: options, the values of those that take
    # one (also as --name=value, which bash splits at the '='), and the
    # arguments, counted to know which one the cursor is on.
    local i word argument=0 ended=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if ((ended)); then
            ((argument++))
        elif [[ $word == -- ]]; then
            ended=1
        elif [[ $word == -* ]]; then
            if [[ " $valued " == *" $word "* ]]; then
                ((i++))
                [[ ${COMP_WORDS[i]} == = ]] && ((i++))
            fi
        elif [[ $word == = ]]; then
            ((i++))
        else
            ((argument++))
        fi
    done
    # The cursor is on an option's value.
    ((i > COMP_CWORD)) && return
    [[ ${COMP_WORDS[COMP_CWORD-1]} == = ]] && return
    if ((!ended)) && [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    _@FUNCTION@_files "$cur" "${files[argument]:-@none}"
}
complete -F _@FUNCTION@ @PROGRAM@
)";

void ReplaceAll(std::string& text, std::string_view from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string BashCompletion(const CLI::App& app, const std::string& program) {
    std::string commands, cases;
    for (const CLI::App* command : app.get_subcommands({})) {
        commands += (commands.empty() ? "" : " ") + command->get_name();
        cases += CommandCase(*command);
    }
    std::string function = program;
    ReplaceAll(function, "-", "_");
    std::string script = std::string(kHead) + cases + std::string(kTail);
    ReplaceAll(script, "@COMMANDS@", commands);
    ReplaceAll(script, "@FUNCTION@", function);
    ReplaceAll(script, "@PROGRAM@", program);
    return script;
}

}  // namespace pixalto::cli
