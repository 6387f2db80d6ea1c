#!/usr/bin/env bash
# The rules of the source tree that the compiler cannot see:
#  - every include inside src/core points to its own folder or a lower level;
#    a folder never includes another folder of its own level;
#  - the core never includes Qt;
#  - the front ends (src/gui, src/cli) send no AT command and read no reply,
#    and no text of theirs spells a command: what an operation sends, its help
#    and its messages name through the core (comment lines may mention one).
# A message by bare number needs no rule: Reporter::message takes a msg::Id,
# so the compiler refuses it.
# Prints each breach and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A level=(
  [text]=0 [files]=0
  [foundation]=1
  [link]=2
  [device]=3 [network]=3 [phonebook]=3 [sms]=3 [organizer]=3 [media]=3
  [session]=4
)

status=0
breach() {
  echo "$1"
  status=1
}

for dir in src/core/*/; do
  folder=$(basename "$dir")
  [ -n "${level[$folder]+x}" ] || { breach "src/core/$folder: folder without a level in scripts/check-tree.sh"; continue; }
  while IFS=: read -r file _ include; do
    target=$(sed -E 's/.*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$include")
    [ "$target" = "$folder" ] && continue
    if [ -z "${level[$target]+x}" ]; then
      breach "$file: includes $target/, which is not a core folder"
    elif [ "${level[$target]}" -gt "${level[$folder]}" ]; then
      breach "$file: includes $target/ (level ${level[$target]}) from $folder/ (level ${level[$folder]})"
    elif [ "${level[$target]}" -eq "${level[$folder]}" ]; then
      breach "$file: includes $target/ from $folder/, a folder of the same level ${level[$folder]}"
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$dir" || true)
done

if grep -rnE '#include <Q' src/core; then
  breach "src/core includes Qt"
fi

# System headers only in the platform pieces (NamePosix.cpp, NameWin32.cpp):
# everything else builds the same on every system.
if grep -rnE '#[[:space:]]*include[[:space:]]*<(unistd|termios|poll|fcntl|dlfcn|pty|pwd|grp|netdb|sys/[a-z]+|netinet/[a-z]+|arpa/[a-z]+|windows|winsock2|ws2tcpip|io|shellapi|shlobj)\.h>' \
  src | grep -vE '^src/[^:]*(Posix|Win32)\.cpp:'; then
  breach "a system header outside a platform piece (NamePosix.cpp, NameWin32.cpp)"
fi

# Front ends: no command in any text and no access to the raw reply. A
# command is "AT" alone, an extended one (AT+, AT^, AT&) or a basic one: ATD
# with what it dials, ATZ, ATE0; anywhere in a line, so help and message texts
# count too. Comment lines are left alone.
if grep -rnE '"AT"|\bAT([+^&][A-Z]|D[A-Z0-9+*#>;]|[A-Z][0-9]*\b)' src/gui src/cli |
  grep -vE '^[^:]+:[0-9]+:[[:space:]]*//'; then
  breach "an AT command in a front end (the commands and the texts that name them belong in src/core)"
fi
if grep -rnE '\bresponse\(\)|\bengine\b|AtEngine|link/(AtEngine|Reply|ReplyFramer|PhoneLink|LinkOperation|Parsers)' src/gui src/cli; then
  breach "a front end reaches the engine or its raw reply"
fi

exit $status
