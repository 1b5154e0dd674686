# The two commands: `make run` shows the program, `make test` runs every test (./run.sh and ./test.sh
# run them where make is not installed yet).
.PHONY: all deps native win64 win32 fuzz-build test run dist reproducible bench fuzz bare-check clean

all: native win64 win32

deps:
	@tools/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

# Each architecture's shipped programs and the tools that drive them, then the tests of those programs.
win64 win32: deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@
	cmake --preset $@-tests >/dev/null
	cmake --build --preset $@-tests

fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

# The fuzz targets run a few seconds each on their committed corpus; `make fuzz` runs them long.
# Wine tests get a second try: wine64's own loader now and then fails an assertion at exit
# after a test has passed.
test: native win64 win32 fuzz-build
	ctest --preset native
	ctest --preset win64-tests
	tools/test-win32.sh
	ctest --preset fuzz

# Only the packages and the build the demo needs, while Wine makes its prefix; prints how long it took.
run:
	@tools/run-demo.sh --build

# The release files only: the programs and the stand-in library of each architecture, not the tests.
dist: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 --target BuscadorVIRK ListaVIRK BuscaVIRK
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target BuscadorVIRK ListaVIRK BuscaVIRK
	tools/make-dist.sh

# Builds the release files twice in two fresh clones of this commit and compares them.
reproducible: deps
	tools/check-reproducible.sh

bench: win64 win32
	tools/bench/run-bench.sh

# Long fuzz runs, FUZZ_SECONDS (600) per target; `ctest --preset fuzz` does the short ones.
fuzz: deps
	tests/fuzz/run-fuzzers.sh

# Maintainers: ./run.sh and ./test.sh in a new minimal Debian 12 root, timed, with what each installs.
# Needs root and the package registry; not part of `make test`.
bare-check:
	tools/bare-check.sh

clean:
	rm -rf build
