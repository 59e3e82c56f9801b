// Every test program's entry: the SDL services are installed as in the game's own main().

#include "platform/sdl/services.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    platform::SdlServices services;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
