# The Debian packages the build and the tests need. The widget tests run on
# Qt's offscreen platform, which comes with qt6-base-dev.
build_packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev qt6-base-dev fonts-ipafont-gothic)
test_packages=(chromium util-linux xvfb xauth xdotool imagemagick)
bench_packages=(libbenchmark-dev)
# What opens the finished page, the read-me and the preview with the desktop's handler.
run_packages=(xdg-utils)
