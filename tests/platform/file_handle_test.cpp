// Opening failures and descriptor flags of the file layer.
#include "platform/file_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/temp_dir.h"

TEST(FileHandle, FailuresCarryTheirErrno) {
    TempDir dir;
    struct Case {
        std::string path;
        char mode;
        int error;
    } cases[] = {
        {dir.path("missing.txt"), 'r', ENOENT},
        {dir.path("no/such/folder.txt"), 'w', ENOENT},
        {dir.path(""), 'r', EISDIR},  // a folder is no file to read
        {dir.write("x.txt", "x"), 'x', EINVAL},
    };
    for (const auto& c : cases) {
        FileResult r = openDescriptor(c.path, c.mode);
        EXPECT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.value, -1) << c.path;
        EXPECT_EQ(r.error, c.error) << c.path << " mode " << c.mode;
    }
}

TEST(FileHandle, NewFilesFollowTheUmaskAndAreNotInherited) {
    TempDir dir;
    mode_t old = umask(027);
    FileResult r = openDescriptor(dir.path("m.txt"), 'w');
    umask(old);
    ASSERT_TRUE(r.ok());
    struct stat st;
    ASSERT_EQ(stat(dir.path("m.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(fcntl(int(r.value), F_GETFD) & FD_CLOEXEC);
    closeDescriptor(int(r.value));
}
