// Address-sanitizer defaults of this test program: Open CASCADE's libraries have no frame pointers,
// so only the slow unwinder sees the frames by which its one-time registrations are suppressed
// (scripts/lsan.supp). Options from ASAN_OPTIONS still apply on top; without the sanitizer nothing
// calls this.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
