// Whole files read into memory, and quoting what came from them.

#include "platform/system/file_bytes.h"
#include "platform/system/quoting.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::FileReadError;
using platform::read_file_bytes;

TEST(FileBytes, ReadsWholeFilesAndRefusesFoldersMissingAndOversizedOnes) {
    ScratchDir scratch{"skarvelin-file-bytes"};
    const std::string file = (scratch.path() / "f").string();
    std::ofstream(file, std::ios::binary) << std::string("a\0b", 3);
    EXPECT_EQ(read_file_bytes(file, 3), std::string("a\0b", 3));
    EXPECT_THROW(read_file_bytes(file, 2), FileReadError);
    EXPECT_EQ(read_file_bytes("/dev/null", 10), "");
    for (const std::string& bad : {scratch.path().string(), file + "-missing"}) {
        try {
            read_file_bytes(bad, 100);
            ADD_FAILURE() << bad;
        } catch (const FileReadError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("cannot read \"" + bad + "\": ", 0), 0u)
                << e.what();
        }
    }
}

TEST(Quoting, QuotesCutsLongTextAndEscapesWhatCannotBePrinted) {
    EXPECT_EQ(platform::quoted("abc"), "\"abc\"");
    EXPECT_EQ(platform::quoted(std::string(50, 'x')), "\"" + std::string(40, 'x') + "\"...");
    EXPECT_EQ(platform::quoted("a\x1b[2J\n\"\\\xE3"), "\"a\\x1B[2J\\x0A\\\"\\\\\\xE3\"");
    EXPECT_EQ(platform::quoted(""), "\"\"");
}
