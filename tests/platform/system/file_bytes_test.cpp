// Whole files read into memory, and quoting what came from them.

#include "platform/system/file_bytes.h"
#include "platform/system/quoting.h"
#include "tests/support/fifo.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::FileReadError;
using platform::read_file_bytes;

TEST(FileBytes, ReadsWholeFilesAndRefusesFoldersMissingAndOversizedOnes) {
    SKIP_WITHOUT_FIFOS();
    ScratchDir scratch{"skarvelin-file-bytes"};
    const std::string file = (scratch.path() / "f").string();
    std::ofstream(file, std::ios::binary) << std::string("a\0b", 3);
    EXPECT_EQ(read_file_bytes(file, 3), std::string("a\0b", 3));
    EXPECT_THROW(read_file_bytes(file, 2), FileReadError);
    // A FIFO would wait for a writer for ever: what is not a regular file is not opened.
    const std::string fifo = (scratch.path() / "fifo").string();
    ASSERT_TRUE(make_fifo(fifo));
    const std::vector<std::pair<std::string, std::string>> bad = {
        {scratch.path().string(), "it is a folder, not a regular file"},
        {fifo, "it is a FIFO, not a regular file"},
        {"/dev/null", "it is a device, not a regular file"},
        {file + "-missing", "No such file or directory"}};
    for (const auto& [path, why] : bad) {
        try {
            read_file_bytes(path, 100);
            ADD_FAILURE() << path;
        } catch (const FileReadError& e) {
            EXPECT_EQ(e.what(), "cannot read \"" + path + "\": " + why);
        }
    }
}

TEST(Quoting, QuotesCutsLongTextAndEscapesWhatCannotBePrinted) {
    EXPECT_EQ(platform::quoted("abc"), "\"abc\"");
    EXPECT_EQ(platform::quoted(std::string(50, 'x')), "\"" + std::string(40, 'x') + "\"...");
    EXPECT_EQ(platform::quoted("a\x1b[2J\n\"\\\xE3"), "\"a\\x1B[2J\\x0A\\\"\\\\\\xE3\"");
    EXPECT_EQ(platform::quoted(""), "\"\"");
    // A path stays whole and readable in any script; only controls and stray bytes are escaped.
    EXPECT_EQ(platform::quoted_path("c:\\ゲーム/" + std::string(50, 'x')),
              "\"c:\\ゲーム/" + std::string(50, 'x') + "\"");
    EXPECT_EQ(platform::quoted_path("a\x1b[2J\n\xC2\x9B\x7F\xE3\x82|\xC0\xAF\xED\xA0\x80"),
              "\"a\\x1B[2J\\x0A\\xC2\\x9B\\x7F\\xE3\\x82|\\xC0\\xAF\\xED\\xA0\\x80\"");
}
