# The two commands: `make run` shows the program, `make test` runs every test.
.PHONY: all deps native win64 win32 test run dist clean

all: native win64 win32

deps:
	@tools/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

win64: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

test: native win64 win32
	ctest --preset native
	ctest --preset win64
	ctest --preset win32

run: win64
	tools/run-demo.sh

dist: win64 win32
	tools/make-dist.sh

clean:
	rm -rf build
