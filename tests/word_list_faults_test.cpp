// Saving a list while the file system fails. Whatever fails, the save reports it, the old list
// stays as it was and no temporary file is left; once the fault is gone, the next save succeeds.
// The faults are set up on a small tmpfs, which takes root to mount.

#include "test_files.h"
#include "word_lists.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

namespace {

namespace fs = std::filesystem;

const std::string oldList = "old\r\nwords\r\n";

// Far more than the stream buffers, so the writes themselves meet the fault.
WordSet manyWords() {
    WordSet words;
    for (int i = 0; i < 20000; ++i) words.insert("word" + std::to_string(i));
    return words;
}

struct Fault {
    const char* name;
    const char* mountOptions;               // of the tmpfs, which starts writable
    void (*inject)(const TemporaryFolder&); // before each save
    void (*remove)(const TemporaryFolder&);
};

bool remount(const TemporaryFolder& folder, unsigned long flags, const char* options) {
    return mount(nullptr, folder.path.c_str(), nullptr, MS_REMOUNT | flags, options) == 0;
}

const Fault faults[] = {
    {"disk full", "size=1m",
     [](const TemporaryFolder& folder) {
         std::ofstream filler(folder.file("filler"), std::ios::binary);
         for (const std::string block(4096, 'x'); filler.write(block.data(), block.size());) {
         }
     },
     [](const TemporaryFolder& folder) { fs::remove(folder.file("filler")); }},
    {"no free inode", "size=1m,nr_inodes=2", // the folder and the list
     [](const TemporaryFolder&) {},
     [](const TemporaryFolder& folder) { ASSERT_TRUE(remount(folder, 0, "size=1m,nr_inodes=3")); }},
    {"read-only", "size=1m",
     [](const TemporaryFolder& folder) { ASSERT_TRUE(remount(folder, MS_RDONLY, "size=1m")); },
     [](const TemporaryFolder& folder) { ASSERT_TRUE(remount(folder, 0, "size=1m")); }},
};

TEST(SaveUnderFaults, FailsAndLosesNothingThenSucceeds) {
    for (const Fault& fault : faults) {
        TemporaryFolder folder;
        if (mount("tmpfs", folder.path.c_str(), "tmpfs", 0, fault.mountOptions) != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        const std::string list = folder.file("list.lst");
        writeBytes(list, oldList);
        // A short list meets the fault only when the file is flushed, a long one while written.
        for (const WordSet& words : {WordSet{"new"}, manyWords()}) {
            fault.inject(folder);
            EXPECT_FALSE(saveWordList(list.c_str(), {TextEncoding::ShiftJis, "", words, {}}))
                << fault.name;
            EXPECT_EQ(readBytes(list), oldList) << fault.name;
            EXPECT_FALSE(fs::exists(fs::symlink_status(list + ".tmp"))) << fault.name;
        }
        fault.remove(folder);
        WordList saved;
        EXPECT_TRUE(saveWordList(list.c_str(), {TextEncoding::ShiftJis, "", manyWords(), {}}) &&
                    loadWordList(list.c_str(), saved));
        EXPECT_EQ(saved.words, manyWords()) << fault.name;
        umount2(folder.path.c_str(), MNT_DETACH);
    }
}

} // namespace
