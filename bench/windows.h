#pragma once
// The windows the presenting benchmarks keep open from their first run to the end of
// the process.

namespace bench {

// Closes them while SDL's services, which main() owns, are still there.
void close_windows();

} // namespace bench
