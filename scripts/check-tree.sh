#!/usr/bin/env bash
# The rules of the source tree that the compiler cannot see:
#  - every include inside src/core points to the same or a lower level, and no
#    two folders of one level include each other;
#  - the core never includes Qt;
#  - the front ends (src/gui, src/cli) send no AT command and read no reply.
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

declare -A sameLevel=()
for dir in src/core/*/; do
  folder=$(basename "$dir")
  [ -n "${level[$folder]+x}" ] || { breach "src/core/$folder: folder without a level in scripts/check-tree.sh"; continue; }
  while IFS=: read -r file _ include; do
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
    [ "$target" = "$folder" ] && continue
    if [ -z "${level[$target]+x}" ]; then
      breach "$file: includes $target/, which is not a core folder"
      continue
    fi
    if [ "${level[$target]}" -gt "${level[$folder]}" ]; then
      breach "$file: includes $target/ (level ${level[$target]}) from $folder/ (level ${level[$folder]})"
    elif [ "${level[$target]}" -eq "${level[$folder]}" ]; then
      sameLevel["$folder>$target"]=$file
    fi
  done < <(grep -rnE '^#include "[^/"]+/' "$dir" || true)
done
for edge in "${!sameLevel[@]}"; do
  from=${edge%%>*}
  to=${edge##*>}
  if [ -n "${sameLevel[$to>$from]+x}" ] && [[ "$from" < "$to" ]]; then
    breach "$from/ and $to/ include each other (${sameLevel[$edge]}, ${sameLevel[$to>$from]})"
  fi
done

if grep -rnE '#include <Q' src/core; then
  breach "src/core includes Qt"
fi

# Front ends: no command literal and no access to the raw reply.
if grep -rnE '"AT[+^A-Z&]|"AT"' src/gui src/cli; then
  breach "an AT command in a front end (the commands belong in src/core)"
fi
if grep -rnE '\bresponse\(\)|\bengine\b|AtEngine|link/(AtEngine|Reply|ReplyFramer|PhoneLink|LinkOperation|Parsers)' src/gui src/cli; then
  breach "a front end reaches the engine or its raw reply"
fi

exit $status
