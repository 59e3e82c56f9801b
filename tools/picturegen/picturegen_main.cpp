// picturegen: draws a picture stored with the game's windows from a scene
// description in data/pictures/.
// Usage: picturegen <scene> <output.bmp|output.jpg>

#include "picturegen.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: picturegen <scene> <output.bmp|output.jpg>\n";
        return 2;
    }
    try {
        picturegen::generate_picture(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "picturegen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
