# The Debian packages the build and the tests need.
build_packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev)
test_packages=(chromium util-linux)
bench_packages=(libbenchmark-dev)
