// Reading whole files from outside: what is refused, and that nothing hangs.

#include "platform/File.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace platform;

TEST(ReadFile, ReadsRegularFilesAndRefusesTheRest) {
    ScratchDir scratch;
    const fs::path dir = scratch.path();
    std::vector<uint8_t> bytes;
    std::string error;

    std::ofstream(dir / "ten") << "0123456789";
    EXPECT_EQ(readFile((dir / "ten").string(), 10, bytes), ReadFileResult::Ok);
    EXPECT_EQ(bytes.size(), 10u);
    EXPECT_EQ(readFile((dir / "ten").string(), 9, bytes, &error), ReadFileResult::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(error.empty());

    std::ofstream(dir / "empty");
    EXPECT_EQ(readFile((dir / "empty").string(), 10, bytes), ReadFileResult::Ok);
    EXPECT_EQ(readFile((dir / "nothing").string(), 10, bytes), ReadFileResult::Missing);
    EXPECT_EQ(readFile((dir / "ten" / "below").string(), 10, bytes), ReadFileResult::Missing);
    EXPECT_EQ(readFile(dir.string(), 10, bytes), ReadFileResult::NotRegular);
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(readFile((dir / "pipe").string(), 10, bytes), ReadFileResult::NotRegular) << "and it did not hang";
    EXPECT_EQ(readFile("", 10, bytes), ReadFileResult::Missing);
}
