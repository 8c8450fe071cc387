# Settings for the sanitizer build, sourced by test.sh and fuzz.sh.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp

# CMake options that build with clang and the fuzzers where clang has libFuzzer.
velmora_fuzz_options() {
    local probe
    probe=$(mktemp -d)
    echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
        >"$probe/f.cpp"
    if command -v clang++ >/dev/null 2>&1 &&
        clang++ -fsanitize=fuzzer "$probe/f.cpp" -o "$probe/f" >/dev/null 2>&1; then
        echo "-DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON"
    fi
    rm -rf "$probe"
}
