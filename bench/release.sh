# Sourced by the benchmark scripts (POSIX sh).
# release_build TARGET...: configures and builds the targets in the release preset's folder,
# build-release, whose programs the benchmarks measure.
release_build() {
    (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j"$(nproc)" --target "$@" >/dev/null)
}

# need COMMAND PACKAGE: installs the Debian package when the command is missing (as root).
need() {
    command -v "$1" >/dev/null 2>&1 || apt-get install -y -qq "$2" >/dev/null
}
