# Sourced by the benchmark scripts (POSIX sh).
# release_build TARGET...: configures and builds the targets in the release preset's folder,
# build-release, whose programs the benchmarks measure.
release_build() {
    (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j"$(nproc)" --target "$@" >/dev/null)
}

# need COMMAND PACKAGE: installs the Debian package when the command is missing (as root);
# ends the script with a message when it is still missing.
need() {
    command -v "$1" >/dev/null 2>&1 || apt-get install -y -qq "$2" >/dev/null 2>&1 || true
    command -v "$1" >/dev/null 2>&1 || { echo "missing: $1 (apt-get install $2)" >&2; exit 2; }
}

# peak COMMAND...: the command's peak resident memory in MB (/usr/bin/time).
peak() {
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident set size/ { printf "%.1f", $6 / 1024 }'
}

# print_means JSON: one line per command of a hyperfine --export-json file: mean, user, system.
print_means() {
    jq -r '.results[] | "\(.command): mean \(.mean * 1000 | floor) ms, user \(.user * 1000 | floor) ms, system \(.system * 1000 | floor) ms"' "$1"
}
