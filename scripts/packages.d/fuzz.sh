# The module loader's fuzz run: libFuzzer and AddressSanitizer from clang.
group_title="Module loader fuzz run"
group_packages=(clang-14 libclang-rt-14-dev)
