// Saving a list while the file system fails. Whatever fails, the save reports it, the old list
// stays as it was and no temporary file is left; once the fault is gone, the next save succeeds.

#include "test_files.h"
#include "word_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string oldList = "old\r\nwords\r\n";

// Far more than the stream buffers, so the writes themselves meet the fault.
WordSet manyWords() {
    WordSet words;
    for (int i = 0; i < 20000; ++i) words.insert("word" + std::to_string(i));
    return words;
}

// Tries a short list, which meets the fault only when the file is flushed, and a long one, which
// meets it while being written; injectFault sets the fault up again before each.
void expectSavesFailAndLoseNothing(
    const std::string& list, const std::function<void()>& injectFault = [] {}) {
    for (const WordSet& words : {WordSet{"new"}, manyWords()}) {
        injectFault();
        EXPECT_FALSE(saveWordList(list.c_str(), words)) << words.size() << " words";
        EXPECT_EQ(readBytes(list), oldList);
        EXPECT_FALSE(fs::exists(fs::symlink_status(list + ".tmp")));
    }
}

void expectSaveSucceeds(const std::string& list) {
    ASSERT_TRUE(saveWordList(list.c_str(), manyWords()));
    WordSet saved;
    ASSERT_TRUE(loadWordList(list.c_str(), saved));
    EXPECT_EQ(saved, manyWords());
}

// A small tmpfs mounted on a folder for the length of a test; mounting needs root.
class SmallFileSystem {
  public:
    SmallFileSystem(const fs::path& folder, const std::string& options) : folder(folder) {
        mounted = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted) umount2(folder.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool remount(unsigned long flags, const std::string& options) {
        return mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | flags, options.c_str()) == 0;
    }

    bool mounted;

  private:
    fs::path folder;
};

// Writes until the file system has no room left.
void fillUp(const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    for (const std::string block(4096, 'x'); file.write(block.data(), block.size());) {
    }
}

TEST(SaveUnderFaults, DiskFull) {
    TemporaryFolder folder;
    SmallFileSystem small(folder.path, "size=1m");
    if (!small.mounted) GTEST_SKIP() << "cannot mount a small file system here";
    std::string list = folder.file("list.lst");
    writeBytes(list, oldList);
    fillUp(folder.file("filler"));

    expectSavesFailAndLoseNothing(list);
    fs::remove(folder.file("filler"));
    expectSaveSucceeds(list);
}

// A device that reports every write as a full disk, reached through the temporary file's name.
TEST(SaveUnderFaults, DiskFullAtEveryWrite) {
    if (!fs::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TemporaryFolder folder;
    std::string list = folder.file("list.lst");
    writeBytes(list, oldList);
    expectSavesFailAndLoseNothing(list, [&] { fs::create_symlink("/dev/full", list + ".tmp"); });
    expectSaveSucceeds(list);
}

// The file system has no free inode, so the temporary file cannot be created.
TEST(SaveUnderFaults, FileCannotBeCreated) {
    TemporaryFolder folder;
    SmallFileSystem small(folder.path, "size=1m,nr_inodes=2"); // the folder and the list
    if (!small.mounted) GTEST_SKIP() << "cannot mount a small file system here";
    std::string list = folder.file("list.lst");
    writeBytes(list, oldList);

    expectSavesFailAndLoseNothing(list);
    ASSERT_TRUE(small.remount(0, "size=1m,nr_inodes=3"));
    expectSaveSucceeds(list);
}

TEST(SaveUnderFaults, FolderNotWritable) {
    TemporaryFolder folder;
    std::string list = folder.file("list.lst");
    if (geteuid() != 0) {
        writeBytes(list, oldList);
        fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
        expectSavesFailAndLoseNothing(list);
        fs::permissions(folder.path, fs::perms::owner_all);
        expectSaveSucceeds(list);
        return;
    }
    // Permissions do not stop root; a file system mounted read-only does.
    SmallFileSystem small(folder.path, "size=1m");
    if (!small.mounted) GTEST_SKIP() << "cannot mount a small file system here";
    writeBytes(list, oldList);
    ASSERT_TRUE(small.remount(MS_RDONLY, "size=1m"));
    expectSavesFailAndLoseNothing(list);
    ASSERT_TRUE(small.remount(0, "size=1m"));
    expectSaveSucceeds(list);
}

} // namespace
