#!/usr/bin/env bash
# Checks the CMake project as another project meets it, with GoogleTest and Qt Test made
# unfindable: with BUILD_TESTING=OFF the tree configures on its own; added with add_subdirectory
# to a tiny outer project, it builds and installs the programs, the desktop entry and the icon,
# and adds no test of its own.
set -euo pipefail
source_root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "check-cmake-project: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Unused when all is well: the project then never asks for them.
without_test_packages=(--no-warn-unused-cli -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON)

cmake -S "$source_root" -B "$work/alone" -G Ninja -DBUILD_TESTING=OFF "${without_test_packages[@]}" >"$work/alone.log" \
  || { cat "$work/alone.log" >&2; fail "the tree does not configure with BUILD_TESTING=OFF"; }

mkdir "$work/outer"
cat >"$work/outer/CMakeLists.txt" <<EOF2
cmake_minimum_required(VERSION 3.25)
project(outer LANGUAGES CXX)
include(CTest)
add_subdirectory("$source_root" qvt-n2)
EOF2
# No build type: no optimiser, the quickest build that proves the paths.
cmake -S "$work/outer" -B "$work/build" -G Ninja "${without_test_packages[@]}" >"$work/outer.log" \
  || { cat "$work/outer.log" >&2; fail "an outer project cannot add the tree"; }
cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" || { tail -n 40 "$work/build.log" >&2; fail "the outer project does not build"; }
tests=$(ctest --test-dir "$work/build" --show-only=json-v1 | grep -c '"name"' || true)
[ "$tests" -eq 0 ] || fail "the outer project got $tests tests of this tree"

cmake --install "$work/build" --prefix "$work/prefix" >/dev/null
for file in bin/qvt_n2 bin/qvt-n2-poll bin/n2-meter-sim share/applications/qvt-n2.desktop share/icons/hicolor/48x48/apps/qvt-n2.png; do
  [ -f "$work/prefix/$file" ] || fail "cmake --install did not put $file in place"
done
echo "check-cmake-project: configures without test packages, builds and installs as a subproject"
