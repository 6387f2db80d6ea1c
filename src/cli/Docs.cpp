// The commands' help, the manual page and the bash completion of
// vondrix-cli, written from the command table and the global options, so
// that help, manual and completion list the same commands and options.

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

constexpr std::size_t kWidth = 79;         // of a help line
constexpr std::size_t kOptionColumn = 30;  // where an option's text starts at most

// `words` appended to `text` as lines of at most kWidth columns (a longer
// word stands alone), each further line indented to `indent`.
void appendWrapped(std::string& text, const std::vector<std::string>& words, std::size_t indent) {
    std::size_t column = text.size() - std::min(text.size(), text.rfind('\n') + 1);
    bool lineEmpty = true;  // no word on this line yet
    for (const std::string& word : words) {
        if (!lineEmpty && column + 1 + word.size() > kWidth) {
            text += '\n' + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty || (column > 0 && text.back() != ' ')) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineEmpty = false;
    }
    text += '\n';
}

std::vector<std::string> blankSeparated(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// An option as the help names it: "--days N".
std::string optionWithValue(const CommandOption& o) {
    return std::string(o.name) + (*o.value ? std::string(" ") + o.value : "");
}

// The option names a usage word holds: "(--overwrite|--append)" holds two.
std::vector<std::string> optionsIn(std::string_view word) {
    std::vector<std::string> names;
    while (!word.empty() && (word.front() == '[' || word.front() == '('))
        word.remove_prefix(1);
    while (!word.empty() && (word.back() == ']' || word.back() == ')'))
        word.remove_suffix(1);
    while (!word.empty()) {
        const std::size_t bar = std::min(word.find('|'), word.size());
        if (word.starts_with("--"))
            names.emplace_back(word.substr(0, bar));
        word.remove_prefix(std::min(bar + 1, word.size()));
    }
    return names;
}

// Whether the usage lines of `c` show the link options: it talks to the
// phone, or (a family) one of its subcommands does.
bool showsLinkOptions(const CommandEntry& c) {
    if (c.needs != Needs::Nothing)
        return true;
    const std::string family = std::string(c.name) + " ";
    return std::any_of(commandTable().begin(), commandTable().end(), [&](const CommandEntry& e) {
        return std::string_view(e.name).starts_with(family) && e.needs != Needs::Nothing;
    });
}

// One usage line of `c`: the options the form needs, the other options in
// brackets, then the form's arguments.
std::string usageLine(const CommandEntry& c, const char* form, bool first) {
    std::set<std::string> mentioned;
    for (const char* f : c.forms) {
        for (const std::string& word : blankSeparated(f)) {
            for (const std::string& name : optionsIn(word))
                mentioned.insert(name);
        }
    }
    const std::vector<std::string> formWords = blankSeparated(form);
    std::vector<std::string> units;
    std::size_t next = 0;
    while (next < formWords.size() && !optionsIn(formWords[next]).empty()) {
        const CommandOption* o = c.option(formWords[next]);
        units.push_back(formWords[next++]);
        if (o && *o->value && next < formWords.size())
            units.back() += " " + formWords[next++];
    }
    bool lastShown = false;  // the option before was shown in brackets
    for (const CommandOption& o : c.options) {
        const bool shown = mentioned.count(o.name) == 0;
        if (shown && o.orBefore && lastShown)
            units.back().insert(units.back().size() - 1, " | " + optionWithValue(o));
        else if (shown)
            units.push_back("[" + optionWithValue(o) + "]");
        lastShown = shown;
    }
    units.insert(units.end(), formWords.begin() + static_cast<std::ptrdiff_t>(next),
                 formWords.end());
    std::string line = std::string(first ? "Usage: " : "       ") + "vondrix-cli " +
                       (showsLinkOptions(c) ? "[LINK OPTIONS] " : "") + c.name;
    appendWrapped(line, units, std::min<std::size_t>(line.size() + 1, 34));
    return line;
}

// The option list of a help: name and value, the text beside them.
std::string optionLines(const std::vector<const CommandOption*>& options) {
    std::size_t column = 0;
    for (const CommandOption* o : options)
        column = std::max(column, optionWithValue(*o).size() + 4);
    column = std::min(column, kOptionColumn);
    std::string text;
    for (const CommandOption* o : options) {
        std::string line = "  " + optionWithValue(*o);
        if (line.size() + 2 > column)
            line += '\n' + std::string(column, ' ');  // the text on a line of its own
        else
            line.resize(column, ' ');
        appendWrapped(line, blankSeparated(o->text), column);
        text += line;
    }
    return text;
}

}  // namespace

std::string helpText(const CommandEntry& entry) {
    // The entries that share the help: a family and its subcommands.
    std::vector<const CommandEntry*> sharing;
    for (const CommandEntry& c : commandTable()) {
        if (c.help == entry.help)
            sharing.push_back(&c);
    }
    if (sharing.empty())
        sharing.push_back(&entry);
    std::string text;
    std::vector<const CommandOption*> options;
    for (const CommandEntry* c : sharing) {
        for (const char* form : c->forms)
            text += usageLine(*c, form, text.empty());
        for (const CommandOption& o : c->options) {
            if (std::none_of(options.begin(), options.end(), [&](const CommandOption* seen) {
                    return std::string_view(seen->name) == o.name;
                }))
                options.push_back(&o);
        }
    }
    text += '\n';
    const std::string_view help(entry.help);
    if (options.empty())
        return text + std::string(help);
    // The options go before the exit status, which begins a line.
    std::size_t exit = help.starts_with("Exit status:") ? 0 : help.find("\nExit status:");
    if (exit == std::string_view::npos)
        exit = help.size();
    else if (help[exit] == '\n')
        ++exit;
    std::string_view description = help.substr(0, exit);
    while (description.ends_with('\n'))
        description.remove_suffix(1);
    if (!description.empty())
        text += std::string(description) + "\n\n";
    text += "Options:\n" + optionLines(options);
    if (exit < help.size())
        text += "\n" + std::string(help.substr(exit));
    return text;
}

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
        m << ".nf\n" << roff(helpText(c)) << ".fi\n";
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
        for (const CommandOption& o : c.options)
            list += std::string(" ") + o.name;
        b << "        [\"" << c.name << "\"]=\"" << (list.empty() ? list : list.substr(1))
          << "\"\n";
    }
    b << "    )\n    local -A takes_value=(";
    std::set<std::string> valued;
    for (const CommandEntry& c : commandTable()) {
        for (const CommandOption& o : c.options) {
            if (*o.value)
                valued.insert(o.name);
        }
    }
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
