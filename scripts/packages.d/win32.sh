# The module loader's Windows tests: mingw-w64 cross-compiles them for 32-bit Windows and Wine
# runs them. qemu-user-static stands in for kernels that cannot run 32-bit programs themselves.
group_title="Windows loader tests"
group_packages=(g++-mingw-w64-i686 wine32 wine qemu-user-static)
group_architecture=i386
