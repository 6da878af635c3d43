#!/usr/bin/env bash
# Builds the Debian package of QVT_N2 (the program, the simulated meter, the desktop entry and
# the icon) in build-package/, without the tests. Install it with
#   sudo apt install ./build-package/qvt-n2_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package
rm -f build-package/qvt-n2_*.deb
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-package -j"$(nproc)" --target package
echo "package: $(ls build-package/qvt-n2_*.deb)"
