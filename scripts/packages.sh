# The Debian packages the build and the tests need. The widget tests run on
# Qt's offscreen platform, which comes with qt6-base-dev.
build_packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev qt6-base-dev fonts-ipafont-gothic)
# The end-to-end test reads the status line on the accessibility bus.
test_packages=(chromium util-linux xvfb xauth xdotool dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0)
bench_packages=(libbenchmark-dev)
# What opens the finished page, the read-me and the preview with the desktop's handler.
run_packages=(xdg-utils)
