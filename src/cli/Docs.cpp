// The manual page and the bash completion of vondrix-cli, written from the
// command table and the global options, so that help, manual and
// completion list the same commands and options.

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "cli/Cli.h"

namespace vondrix::cli {

namespace {

// Text as roff reads it literally: backslashes and minus signs escaped, a
// line never starting with a control character.
std::string roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

// A summary that the help wraps, on one line.
std::string oneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n' || c == ' ') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string optionList(const CommandEntry& c) {
    std::string list;
    for (const std::string& v : c.valued)
        list += (list.empty() ? "" : ", ") + v + " VALUE";
    for (const std::string& f : c.flags)
        list += (list.empty() ? "" : ", ") + f;
    return list;
}

}  // namespace

const std::vector<GlobalOption>& globalOptions() {
    static const std::vector<GlobalOption> options = {
        {"--device", "PATH", "serial device of the phone (e.g. /dev/ttyUSB0)", true},
        {"--tcp", "HOST:PORT", "phone reached over a TCP connection", true},
        {"--simulate", "[=FILE]", "use the built-in simulated phone (contents from FILE)", true},
        {"--ini", "FILE", "settings file (default ./Vondrix.ini)", false},
        {"--lang", "CODE", "language of messages: de en es fr it nl no pt", false},
        {"--yes, --no", "", "answer the program's questions", false},
        {"--pin2", "DIGITS",
         "answer the PIN2 question of fixed-dialling writes\n(without it the terminal asks; no "
         "terminal: cancel)",
         false},
        {"--version", "", "print the version and exit", false},
        {"--help", "", "this help; COMMAND --help for a command's help", false},
    };
    return options;
}

std::string manPage() {
    std::ostringstream m;
    m << ".TH VONDRIX\\-CLI 1 \"\" \"Vondrix " VONDRIX_VERSION "\" \"User Commands\"\n"
      << ".SH NAME\nvondrix\\-cli \\- manage a Siemens C35/S35\\-generation phone from the command "
         "line\n"
      << ".SH SYNOPSIS\n.B vondrix\\-cli\n[\\fIOPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGS\\fR]\n"
      << ".SH DESCRIPTION\n"
      << roff(
             "vondrix-cli runs the desktop program's operations on the command line, with the "
             "same phone traffic, files and messages: phonebooks, short messages, organizer, "
             "logo and ring tone, network and call services. It talks to the phone's AT command "
             "interpreter over a serial device or a TCP connection, or to the built-in simulated "
             "phone.")
      << "\n.SH OPTIONS\n";
    for (const GlobalOption& o : globalOptions()) {
        m << ".TP\n.B " << roff(o.name);
        if (*o.value)
            m << (*o.value == '[' ? "\\fI" : " \\fI") << roff(o.value) << "\\fR";
        m << '\n' << roff(o.text) << '\n';
    }
    m << ".SH COMMANDS\n";
    for (const CommandEntry& c : commandTable()) {
        m << ".SS \"" << roff(c.name) << "\"\n";
        if (*c.summary)
            m << roff(oneLine(c.summary)) << ".\n.PP\n";
        if (const std::string options = optionList(c); !options.empty())
            m << "Options: " << roff(options) << ".\n.PP\n";
        m << ".nf\n" << roff(c.usage) << ".fi\n";
    }
    m << ".SH EXIT STATUS\n"
      << roff(
             "0 success, 1 the operation failed, 2 usage error, 3 no link to the phone or the "
             "phone did not answer the reset.")
      << "\n.SH FILES\n"
      << roff(
             "Vondrix.ini (settings), Vondrix.phb (local phonebook), Vondrix.log (cell and "
             "command log) and the exports, in the working directory; smscom.so, the command "
             "mode's communication module, in the working directory or installed with the "
             "program.")
      << "\n.SH ENVIRONMENT\n"
      << roff(
             "VONDRIX_LANG or LC_ALL, LC_MESSAGES, LANG choose the language of messages; "
             "VONDRIX_DATEFMT the short date format (e.g. dd.MM.yyyy).")
      << "\n.SH SEE ALSO\n.BR vondrix (1),\n.BR vondrix\\-phonesim (1)\n";
    return m.str();
}

std::string bashCompletion() {
    std::ostringstream b;
    std::string globalValued, globalFlags;
    for (const GlobalOption& o : globalOptions()) {
        std::string names(o.name);
        std::replace(names.begin(), names.end(), ',', ' ');
        (*o.value && o.value[0] != '[' ? globalValued : globalFlags) += " " + names;
    }
    b << "# bash completion for vondrix-cli, written from its command table.\n"
      << "_vondrix_cli() {\n"
      << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      << "    local global_valued=\"" << globalValued.substr(1) << "\"\n"
      << "    local global_flags=\"" << globalFlags.substr(1) << "\"\n"
      << "    local -A options=(\n";
    for (const CommandEntry& c : commandTable()) {
        std::string list;
        for (const std::string& v : c.valued)
            list += " " + v;
        for (const std::string& f : c.flags)
            list += " " + f;
        b << "        [\"" << c.name << "\"]=\"" << (list.empty() ? list : list.substr(1))
          << "\"\n";
    }
    b << "    )\n    local -A takes_value=(";
    std::set<std::string> valued;
    for (const CommandEntry& c : commandTable())
        valued.insert(c.valued.begin(), c.valued.end());
    for (const std::string& v : valued)
        b << " [" << v << "]=1";
    b << " )\n"
      << "    # The command words typed so far, without options and their values.\n"
      << "    local words=() i w\n"
      << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
      << "        w=${COMP_WORDS[i]}\n"
      << "        if [[ \" $global_valued \" == *\" $w \"* || ( -n $w && -n ${takes_value[$w]} ) "
         "]]; then\n"
      << "            ((i++))\n"
      << "        elif [[ $w != -* ]]; then\n"
      << "            words+=(\"$w\")\n"
      << "        fi\n"
      << "    done\n"
      << "    # The longest command named by those words.\n"
      << "    local command=\"\" typed=\"${words[*]}\" name\n"
      << "    for name in \"${!options[@]}\"; do\n"
      << "        if [[ \"$typed \" == \"$name \"* && ${#name} -gt ${#command} ]]; then\n"
      << "            command=$name\n"
      << "        fi\n"
      << "    done\n"
      << "    case $prev in\n"
      << "        --lang) COMPREPLY=($(compgen -W \"de en es fr it nl no pt\" -- \"$cur\")); "
         "return ;;\n"
      << "        --kind) COMPREPLY=($(compgen -W \"sim internal fixed\" -- \"$cur\")); return ;;\n"
      << "        --format) COMPREPLY=($(compgen -W \"csv xml ics\" -- \"$cur\")); return ;;\n"
      << "        --device) COMPREPLY=($(compgen -f -- \"${cur:-/dev/tty}\")); return ;;\n"
      << "    esac\n"
      << "    if [[ \" $global_valued \" == *\" $prev \"* || ( -n $prev && -n "
         "${takes_value[$prev]} ) ]]; then\n"
      << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
      << "        return\n"
      << "    fi\n"
      << "    if [[ $cur == -* ]]; then\n"
      << "        COMPREPLY=($(compgen -W \"$global_valued $global_flags "
         "${command:+${options[$command]}}\" -- \"$cur\"))\n"
      << "        return\n"
      << "    fi\n"
      << "    # The next word of a command, or else a file argument.\n"
      << "    local next=\"\"\n"
      << "    if [[ \"$typed\" == \"$command\" ]]; then\n"
      << "        for name in \"${!options[@]}\"; do\n"
      << "            if [[ -z $command && $name != *\" \"* ]]; then\n"
      << "                next+=\" $name\"\n"
      << "            elif [[ -n $command && $name == \"$command \"* && "
         "${name#\"$command \"} != *\" \"* ]]; then\n"
      << "                next+=\" ${name#\"$command \"}\"\n"
      << "            fi\n"
      << "        done\n"
      << "    fi\n"
      << "    if [[ -n $next ]]; then\n"
      << "        COMPREPLY=($(compgen -W \"$next\" -- \"$cur\"))\n"
      << "    else\n"
      << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
      << "    fi\n"
      << "}\n"
      << "complete -o filenames -F _vondrix_cli vondrix-cli\n";
    return b.str();
}

}  // namespace vondrix::cli
