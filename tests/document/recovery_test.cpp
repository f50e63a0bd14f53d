#include "core/document/recovery.h"

#include <gtest/gtest.h>

#include "core/document/editor_model.h"

namespace qz {
namespace {

TEST(RecoveryPath, BesideTheDataFileOrTheUntitledFolder) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\q\\a.qzf", "C:\\q\\~$a.qzf.recover"},
        {"a.qzf", "~$a.qzf.recover"},
        {"C:a.qzf", "C:~$a.qzf.recover"},
        {"/home/u/x y.qzf", "/home/u/~$x y.qzf.recover"},
        // Paths are UTF-8 (表 is E8 A1 A8, 한 is ED 95 9C).
        {"C:\\\xE8\xA1\xA8\\\xE8\xA1\xA8.qzf", "C:\\\xE8\xA1\xA8\\~$\xE8\xA1\xA8.qzf.recover"},
        {"C:\\q\\\xED\x95\x9C", "C:\\q\\~$\xED\x95\x9C.recover"},
    };
    for (const auto& [path, recovery] : rows) EXPECT_EQ(recovery_path(path, "D:\\ini"), recovery);
    EXPECT_EQ(recovery_path("", "D:\\ini"), "D:\\ini\\~$untitled.qzf.recover");
    EXPECT_EQ(recovery_path("", "D:\\ini\\"), "D:\\ini\\~$untitled.qzf.recover");
    EXPECT_EQ(recovery_path("", ""), "~$untitled.qzf.recover");
}

TEST(RecoverySchedule, WritesOnlyChangesAtMostOnceAnIntervalAndRemovesWhenUnmodified) {
    RecoverySchedule s;
    using A = RecoveryAction;
    EXPECT_EQ(s.next(30, false, 0, 0), A::none);  // nothing to keep, nothing to remove
    EXPECT_EQ(s.next(30, true, 1, 0), A::write);  // the first change at once
    s.start_write(1, 0);
    EXPECT_EQ(s.next(30, true, 2, 1000), A::none);  // one write at a time
    s.end_write(true);
    EXPECT_TRUE(s.has_file());
    EXPECT_EQ(s.next(30, true, 1, 60000), A::none);    // held already
    EXPECT_EQ(s.next(30, true, 2, 29999), A::none);    // within the interval
    EXPECT_EQ(s.next(30, true, 2, 30000), A::write);
    s.start_write(2, 30000);
    s.end_write(false);                                // failed: again an interval later
    EXPECT_EQ(s.next(30, true, 2, 59999), A::none);
    EXPECT_EQ(s.next(30, true, 2, 60000), A::write);
    EXPECT_EQ(s.next(30, false, 3, 60000), A::remove);  // saved or undone to the saved state
    EXPECT_EQ(s.next(0, true, 3, 60000), A::remove);    // switched off
    s.forget();
    EXPECT_EQ(s.next(0, true, 3, 60000), A::none);
    EXPECT_EQ(s.next(30, true, 3, 60001), A::write);    // after a removal, at once
    s.adopt();
    EXPECT_TRUE(s.has_file());
    EXPECT_EQ(s.next(30, true, 0, 0), A::write);  // a restored file holds none of ours
}

TEST(RecoverySchedule, TheModelCountsEveryChangeAndPendingPaneEdit) {
    EditorModel model;
    model.new_document();
    std::uint64_t last = model.changes();
    auto changed = [&] {
        const bool grew = model.changes() > last;
        last = model.changes();
        return grew;
    };
    model.commit_line(0, "q,a,<00");
    EXPECT_TRUE(changed());
    model.set_pending_edit(true);
    EXPECT_TRUE(changed());
    model.set_pending_edit(false);
    EXPECT_FALSE(changed());
    model.undo();
    EXPECT_TRUE(changed());  // back to the saved text, yet another state than the last written
    model.redo();
    EXPECT_TRUE(changed());
    model.mark_saved();
    EXPECT_FALSE(changed());
}

TEST(RecoveryOffered, OnlyWhenNewerThanTheDataFile) {
    EXPECT_TRUE(recovery_offered(10, 9));
    EXPECT_TRUE(recovery_offered(10, std::nullopt));
    EXPECT_FALSE(recovery_offered(10, 10));
    EXPECT_FALSE(recovery_offered(9, 10));
    EXPECT_FALSE(recovery_offered(std::nullopt, 10));
}

TEST(FileLockName, OneNamePerFileHoweverItIsSpelt) {
    const std::string name = file_lock_name("C:\\Quiz\\a.qzf");
    EXPECT_EQ(name.rfind("QuizoEditor.File.", 0), 0u);
    EXPECT_EQ(name.find('\\'), std::string::npos);  // no namespace separator
    EXPECT_EQ(file_lock_name("c:/quiz/A.QZF"), name);
    EXPECT_NE(file_lock_name("C:\\Quiz\\b.qzf"), name);
    // A letter after a UTF-8 character is folded like any other: 0x61 is
    // never part of one.
    EXPECT_EQ(file_lock_name("C:\\\xE3\x81\x82" "a.qzf"), file_lock_name("C:\\\xE3\x81\x82" "A.qzf"));
    EXPECT_NE(file_lock_name("C:\\\xE3\x81\x82.qzf"), file_lock_name("C:\\\xE3\x81\x83.qzf"));
}

}  // namespace
}  // namespace qz
