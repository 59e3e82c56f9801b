#pragma once
// A browser keeps a program that has waited alive after main returns: its exit status must
// be handed to the page explicitly. On the desktop main's return is all there is.

namespace platform {

#ifdef __EMSCRIPTEN__
// Ends the program with `status` for the page to see; does not return.
int end_in_browser(int status);
#else
// The status main returns.
inline int end_in_browser(int status) {
    return status;
}
#endif

} // namespace platform
