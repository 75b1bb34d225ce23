# The module loader's fuzz target: libFuzzer and AddressSanitizer from clang.
packages+=(clang-14 libclang-rt-14-dev)
