// Linked into the Qt Quick test binaries of the sanitizer build only. Qt is built without
// frame pointers, so the fast unwinder stops at the first Qt frame; the leak suppressions
// (tests/sanitizer-leaks.supp) name frames deeper in Qt, which only the full unwinder sees.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
