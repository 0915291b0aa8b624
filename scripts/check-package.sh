#!/usr/bin/env bash
# Lists a Debian package made by `make package` and checks that it carries what an
# installation needs and declares the libraries the programs link.
# Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail

package=$1
fail() {
  echo "check-package: $*" >&2
  exit 1
}

contents=$(dpkg-deb -c "$package")
echo "$contents"
for file in ./usr/bin/ravelo ./usr/bin/ravelo-batch ./usr/bin/rmfbuild ./usr/bin/rmfdump \
            ./usr/bin/editc ./usr/bin/naaccr_generate ./usr/include/vetra40.h \
            ./usr/share/applications/ravelo.desktop ./usr/share/ravelo/help/index.html \
            ./usr/share/ravelo/samples/naaccr18.rmf ./usr/share/man/man1/ravelo-batch.1 \
            ./usr/lib/python3/dist-packages/vetra/__init__.py; do
  grep -q " $file\( \|$\)" <<< "$contents" || fail "$file is not in the package"
done
for pattern in 'lib/.*libVETRA40\.so\.[0-9]+\.[0-9]+\.[0-9]+$' 'lib/.*libVETRA40\.so ->' \
               'lib/.*libkznaaccr\.so$' 'lib/.*pkgconfig/vetra40\.pc$'; do
  grep -Eq "$pattern" <<< "$contents" || fail "nothing like $pattern in the package"
done

grep -q '__pycache__' <<< "$contents" && fail "the package carries compiled Python files"

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for dependency in libqt6widgets6 libsqlite3-0 libstdc++6 libc6 qt6-qpa-plugins; do
  grep -q "$dependency" <<< "$depends" || fail "the package does not depend on $dependency"
done
