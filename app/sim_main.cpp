#include "app/sim.h"
#include "platform/sdl/services.h"

#include <iostream>

int main(int argc, char** argv) {
    platform::SdlServices services;
    std::vector<std::string> args(argv + 1, argv + argc);
    return app::run_sim(args, std::cout, std::cerr);
}
