# The Debian packages the build and the tests need. The widget tests run on
# Qt's offscreen platform, which comes with qt6-base-dev.
# The window font is chosen through fontconfig; cpack finds the package's
# dependencies with dpkg-shlibdeps (dpkg-dev), which asks file(1). The title
# bar under Wayland is a plugin for Qt's Wayland client library.
build_packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev qt6-base-dev libfontconfig-dev
                fonts-ipafont-gothic dpkg-dev file qt6-wayland-dev)
# The end-to-end tests drive the real programs on Xvfb with xdotool; the
# package test tells a dialog from a window with xprop and installs the
# package, which needs xdg-utils; the package checks use a distribution's
# linters; the windows are also tested in a Japanese session, with Qt's own
# Japanese texts; the batch converter's completion is tried in bash; the
# windows as a screen reader sees them (AT-SPI on a session bus), and natively
# under Wayland (Weston, headless and nested on Xvfb).
test_packages=(chromium util-linux xvfb xauth xdotool
               x11-utils xdg-utils lintian desktop-file-utils appstream mandoc man-db
               locales qt6-translations-l10n python3 bash-completion dbus at-spi2-core
               python3-pyatspi qt6-wayland weston imagemagick clang-format)
bench_packages=(libbenchmark-dev)
# What opens the finished page and the preview with the desktop's handler, Qt's
# Japanese texts, and the window on a Wayland desktop without an X server.
run_packages=(xdg-utils qt6-translations-l10n qt6-wayland)
# The screenshots in docs/ (scripts/screenshots).
docs_packages=(imagemagick weston)
# scripts/encoding-corpus: the prose it cuts up and the detectors it compares with.
corpus_packages=(manpages-ja nkf uchardet)
