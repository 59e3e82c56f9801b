// The benchmarks' entry: the SDL services are installed as in the game's own main().

#include "platform/sdl/services.h"
#include "windows.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    platform::SdlServices services;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    bench::close_windows();
    benchmark::Shutdown();
    return 0;
}
