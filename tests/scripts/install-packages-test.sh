#!/usr/bin/env bash
# scripts/install-packages as root, as a user with sudo and as a user without: stand-ins for
# id, dpkg-query, sudo and apt-get record what would have run; nothing is installed.
# The conditions given to check are quoted on purpose: it evaluates them after each run.
# shellcheck disable=SC2016
set -uo pipefail
script=${1:?script}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A folder of the real tools the script needs, without sudo and apt-get.
mkdir -p "$work/base"
for tool in bash env grep cat; do
	ln -s "$(command -v "$tool")" "$work/base/$tool"
done

# Stand-ins. INSTALLED lists the packages dpkg-query knows; calls go to $work/calls.
mkdir -p "$work/stubs" "$work/nosudo"
cat > "$work/stubs/id" <<'STUB'
#!/bin/bash
echo "$FAKE_UID"
STUB
cat > "$work/stubs/dpkg-query" <<'STUB'
#!/bin/bash
for p in $INSTALLED; do
	[ "$p" = "${@: -1}" ] && { printf 'install ok installed'; exit 0; }
done
exit 1
STUB
cat > "$work/stubs/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $* DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}" >> "$CALLS"
exit "${APT_STATUS:-0}"
STUB
cat > "$work/stubs/sudo" <<'STUB'
#!/bin/bash
echo "sudo" >> "$CALLS"
exec "$@"
STUB
chmod +x "$work/stubs/"*
for tool in id dpkg-query apt-get; do
	ln -s "$work/stubs/$tool" "$work/nosudo/$tool"
done

# run NAME PATH UID INSTALLED [APT_STATUS] -- PACKAGES...: sets status, out, calls
run() {
	local path=$1 uid=$2 installed=$3 apt=$4
	shift 5
	: > "$work/calls"
	out=$(PATH="$path:$work/base" FAKE_UID=$uid INSTALLED=$installed APT_STATUS=$apt \
		CALLS="$work/calls" "$work/base/bash" "$script" "$@" 2>&1)
	status=$?
	calls=$(cat "$work/calls")
}
check() {
	if ! eval "$2"; then
		echo "FAILED: $1"
		echo "  status=$status"
		echo "  output: $out"
		echo "  calls: $calls"
		failures=$((failures + 1))
	fi
}

run "$work/stubs" 1000 "pkg-a pkg-b" 0 -- pkg-a pkg-b
check "nothing missing installs nothing" '[ $status -eq 0 ] && [ -z "$calls" ]'

run "$work/stubs" 0 "pkg-a" 0 -- pkg-a pkg-b pkg-c
check "root runs apt-get itself" '[ $status -eq 0 ] && ! grep -q sudo <<< "$calls" \
	&& grep -q "^apt-get update DEBIAN_FRONTEND=noninteractive$" <<< "$calls" \
	&& grep -q "^apt-get install -y --no-install-recommends pkg-b pkg-c DEBIAN_FRONTEND=noninteractive$" <<< "$calls"'

run "$work/stubs" 1000 "pkg-a" 0 -- pkg-a pkg-b
check "a user goes through sudo" '[ $status -eq 0 ] && [ "$(grep -c "^sudo$" <<< "$calls")" -eq 2 ] \
	&& grep -q "^apt-get install -y --no-install-recommends pkg-b DEBIAN_FRONTEND=noninteractive$" <<< "$calls"'

run "$work/nosudo" 1000 "pkg-a" 0 -- pkg-a pkg-b pkg-c
check "without sudo it names the packages and the command, and stops" '[ $status -ne 0 ] \
	&& [ -z "$calls" ] && grep -q "Missing Debian packages: pkg-b pkg-c" <<< "$out" \
	&& grep -q "apt-get install -y --no-install-recommends pkg-b pkg-c" <<< "$out"'

run "$work/stubs" 1000 "" 100 -- pkg-a
check "a failed installation stops with the command to run" '[ $status -ne 0 ] \
	&& grep -q "Could not install: pkg-a" <<< "$out" \
	&& grep -q "apt-get install -y --no-install-recommends pkg-a" <<< "$out"'

if [ $failures -eq 0 ]; then
	echo "5 passed, 0 failed"
	exit 0
fi
echo "$((5 - failures)) passed, $failures failed"
exit 1
