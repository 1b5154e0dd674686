#!/usr/bin/env bash
# The demo, as `make run`, on any Debian 12, one without make included: make comes in the first install
# `make run` makes, of the compiler, in which the rest of the demo's packages start downloading.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build --fetch demo
exec make run
