#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz) and runs each one for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 10]
# The corpus grows in build/fuzz/corpus/<target> and is reused by the next run; crash inputs land in
# build/fuzz/artifacts/<target>/, the fuzzer's output in build/fuzz/logs/<target>.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
case $seconds in '' | *[!0-9]*) echo "fuzz.sh: seconds must be a whole number" >&2; exit 2 ;; esac
build=$root/build/fuzz
jobs=$(nproc 2>/dev/null || echo 2)

for tool in clang clang++ cmake; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz.sh: $tool not found (scripts/install-deps.sh installs it)" >&2
    exit 2
  fi
done

mkdir -p "$build/logs"
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DPLUMWICK_FUZZ=ON -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON &&
       cmake --build "$build" --target plumwick-fuzz-targets -j"$jobs"; } >"$build/logs/build.log" 2>&1; then
  tail -n 40 "$build/logs/build.log" >&2
  echo "fuzz.sh: the fuzz build failed (build/fuzz/logs/build.log)" >&2
  exit 1
fi

# Writes a seed unless the corpus has it already; printf turns the \r, \n and \xHH escapes into bytes.
seed() {
  local dir=$build/corpus/$1 name=$2
  mkdir -p "$dir"
  [ -e "$dir/$name" ] || printf "$3" >"$dir/$name"
}
seed FuzzCommand dlt 'DLT hello'
seed FuzzCommand dkc 'DKCa||1||100'
seed FuzzCommand dkc-bars 'DKCabc|||2||900'
seed FuzzCommand ckt 'CKT'
seed FuzzCommand idle 'KrcMessage'
seed FuzzCommand dlt-utf16 'D\0L\0T\0 \0\x22\x6b\xce\x8f'
seed FuzzCommand hld 'HLD 30'
seed FuzzPipe status '?status\r\n'
seed FuzzPipe dlt 'DLT\xe6\xac\xa2\xe8\xbf\x8e'
seed FuzzPipe hld 'HLD3600'
seed FuzzPipe end 'END'
seed FuzzSettings plain 'Arial\r\n 36 \r\n 2 \r\n'
seed FuzzSettings utf8 '\xef\xbb\xbf\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91\r\n 10.5 \r\n 5 \r\n'
seed FuzzSettings loose 'Arial\n10,5\r-3'
seed FuzzContent lines 'one\r\ntwo\r\n\r\n\r\nthree\r\n'
seed FuzzContent utf16 '\xff\xfea\0\r\0\n\0b\0'
seed FuzzContent two-files 'first\r\x1e\x1e\nsecond 15'
seed FuzzShopConfig plain 'ShopName=Plum Shop\r\nWebAddress=www.example.cn\r\nHomePage=https://www.example.cn/\r\n'
seed FuzzShopConfig page '\xef\xbb\xbfHomePage=help/index.html\r\nUnlockHotkey=Ctrl+Shift,76\r\n'
seed FuzzShopConfig program 'HomePage=C:\\Windows\\System32\\calc.exe\r\n'
seed FuzzPublication two 'a\0.\0t\0x\0t\0|\0s\0\\\0b\0\x1e\x001\0\x1e\x005\0\x1e\x001\0'
seed FuzzShowHistory history '3\0,\x007\0,\x001\0,\0\0\x01\x02\x01'
seed FuzzDisplayPlace place '\0\0\x38\x04\x7f\0\x7e\x02\x34\x003\x000\0'
seed FuzzHotkey default 'Ctrl+Alt,87'
seed FuzzFeed rss '<?xml version="1.0"?><rss version="2.0"><channel><item><title>Fish &amp; chips</title></item></channel></rss>'
seed FuzzFeed atom '<feed xmlns="http://www.w3.org/2005/Atom"><entry><title type="html">a &amp;lt;b&amp;gt;</title></entry></feed>'
seed FuzzFeed doctype '<!DOCTYPE x [<!ENTITY a "&#38;b;">]><rss><item><title><![CDATA[x]]>&a;&#x1F600;</title></item></rss>'
seed FuzzFeed attribute-lt '<feed xmlns="&lt;x&gt;"><entry><title>t</title></entry></feed>'
seed FuzzFeed address 'https://h:8443/news/feed.xml?x=1\n../other.xml?y'
seed FuzzFeed query-dots 'http://h/a/b\n../x?/../y/./z'
seed FuzzFeed shortcut '[InternetShortcut]\r\nURL=http://127.0.0.1:8080/feed\r\n'
seed FuzzSchedule example '[breakfast.txt]\r\ndays = Mon-Fri\r\ntimes = 06:30-10:30\r\n[offers/x]\r\ntimes = 22:00-02:00, 7:00-24:00\r\nfrom = 2026-12-01\r\nuntil = 2026-12-24\r\n'
seed FuzzSchedule broken 'days = Mon\n[a.txt\n[*]\ndays = Fri-Mon\ntmes = 1\n[A.TXT] ; x\n'
seed FuzzSend command 'DLT \xe6\xac\xa2\xe8\xbf\x8e'
seed FuzzSend options 'DLT x\0--ansi\0--wait=2.5\0--timeout\09'
seed FuzzSend extra 'DLT\0two\0words'
seed FuzzSend utf16-file '\xff\xfeD\0L\0T\0\r\0\n\0'
seed FuzzHotkey other 'Shift+Alt, 65.5 '
seed FuzzHotkey bare ' 12.5e1x'

# UndefinedBehaviorSanitizer only reports by default; make its findings crashes like any other.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
summary=()
for src in "$root"/fuzz/*.cpp; do
  target=$(basename "$src" .cpp)
  mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
  log=$build/logs/$target.log
  status=0
  "$build/$target" "$build/corpus/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target/" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    summary+=("fuzz $target: ok (${runs:-0} runs)")
  else
    failed=1
    # The input itself (libFuzzer's Base64 line, for a short one) goes with it: a failure seen only in CI's
    # log can be run again here.
    grep -E "ERROR: |SUMMARY: |check failed|runtime error|round trip|Test unit written|^Base64: " "$log" |
      head -n 9 >&2 || true
    summary+=("fuzz $target: FAILED (exit $status, see build/fuzz/logs/$target.log)")
  fi
done
printf '%s\n' "${summary[@]}"
exit "$failed"
