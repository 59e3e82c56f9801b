// The sanitizers' settings, built into every sanitized program, so that the tests,
// the game and the runner check the same way however they are started.

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=1";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

// SDL's X11 video opens D-Bus (input methods, the screen saver) and, as SDL documents,
// never calls dbus_shutdown(), so libdbus keeps a few global allocations until the
// process ends.
const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
}
