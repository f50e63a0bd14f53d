#include "win/app/recovery_win.h"
#include "win/base/wide_win.h"
#include "core/exchange/text_encoding.h"

#include <shlwapi.h>

#include <cstdint>
#include <memory>
#include <new>
#include <optional>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/document/recovery.h"
#include "win/app/data_file_win.h"
#include "win/base/app_state_win.h"
#include "win/base/choice_box_win.h"
#include "platform/file_lock.h"
#include "win/base/handles_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {

// One write: the content as it was when taken, and how it went.
struct Job {
    std::string path;
    std::string bytes;
    bool written = false;
};

struct Recovery {
    RecoverySchedule schedule;
    std::unique_ptr<Job> job;
    unique_file thread;
    // The file this editor wrote last, and the lock that keeps other
    // editors from writing the same one.
    std::string written_path;
    FileLock lock;
    bool said_failure = false;
};

Recovery& state() {
    static Recovery r;
    return r;
}

DWORD WINAPI write_job(void* parameter) {
    Job& job = *static_cast<Job*>(parameter);
    job.written = replace_file_contents(job.path, job.bytes, true) == ERROR_SUCCESS;
    // Hidden, as the "~$" name says; a file system without the mark keeps it shown.
    if (job.written) SetFileAttributesW(wide_path(job.path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    return 0;
}

void end_job() {
    Recovery& r = state();
    if (!r.thread) return;
    WaitForSingleObject(r.thread.get(), INFINITE);
    r.thread.reset();
    const bool written = r.job->written;
    r.schedule.end_write(written);
    if (written) {
        r.written_path = r.job->path;
        r.said_failure = false;
    } else if (!r.said_failure) {
        // Said once, until a write succeeds again; editing goes on.
        const std::string text = "回復用ファイルを書き込めません：" + utf8_to_cp932(r.job->path);
        show_status_message(text.c_str());
        r.said_failure = true;
    }
    r.job.reset();
}

std::optional<std::int64_t> written_time(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

void start_write(const std::string& path) {
    Recovery& r = state();
    EditorModel& model = editor();
    // Another editor writes this file (it has the document open, or an
    // untitled one of its own): this one keeps none.
    if (!r.lock.held() || path != r.written_path) {
        FileLock lock = FileLock::take(full_path(path), app().main_window);
        if (!lock.held()) return;
        r.lock = std::move(lock);
    }
    r.schedule.start_write(model.changes(), static_cast<std::int64_t>(GetTickCount64()));
    try {
        auto job = std::make_unique<Job>();
        job->path = path;
        // The pane's edit, not yet committed, is part of what was typed.
        if (std::optional<std::string> pending = pending_pane_text())
            job->bytes = write_data_file(document(), model.current(), *pending);
        else
            job->bytes = write_data_file(document());
        r.job = std::move(job);
    } catch (const std::bad_alloc&) {
        // No room for the copy: tried again an interval later, editing goes on.
        r.schedule.end_write(false);
        show_status_message("メモリが足りないため回復用ファイルを書き込めません。");
        return;
    }
    r.thread.reset(CreateThread(nullptr, 0, write_job, r.job.get(), 0, nullptr));
    if (!r.thread) {
        r.schedule.end_write(false);
        r.job.reset();
    }
}

}  // namespace

void start_recovery_timer(HWND main_window) { SetTimer(main_window, kRecoveryTimer, 1000, nullptr); }

std::string recovery_file_of(const std::string& file_name) {
    if (file_name == UNTITLED_NAME) {
        const std::string settings = full_path(app().settings_path);
        return recovery_path("", settings.substr(0, settings.find_last_of("\\/") + 1));
    }
    return recovery_path(file_name, "");
}

void recovery_tick() {
    Recovery& r = state();
    if (r.thread && WaitForSingleObject(r.thread.get(), 0) == WAIT_OBJECT_0) end_job();
    EditorModel& model = editor();
    const RecoveryAction action =
        r.schedule.next(app().prefs.RecoveryInterval, model.modified(), model.changes(),
                        static_cast<std::int64_t>(GetTickCount64()));
    // A read-only document is another editor's file: what is typed into it
    // here is kept as an untitled document's.
    if (action == RecoveryAction::write)
        start_write(recovery_file_of(model.recovery_name()));
    else if (action == RecoveryAction::remove)
        remove_recovery_file();
}

void remove_recovery_file() {
    Recovery& r = state();
    end_job();
    if (r.schedule.has_file() && !r.written_path.empty()) {
        SetFileAttributesW(wide_path(r.written_path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wide_path(r.written_path).c_str());
    }
    r.schedule.forget();
    r.written_path.clear();
    r.lock = FileLock();
}

void adopt_recovery_file(const std::string& path) {
    Recovery& r = state();
    end_job();
    r.schedule.adopt();
    r.written_path = path;
    r.lock = FileLock::take(full_path(path), app().main_window);
}

RecoveryOffer offer_recovery(HWND owner, const std::string& file_name, std::string& recovery) {
    recovery = recovery_file_of(file_name);
    const std::optional<std::int64_t> data =
        file_name == UNTITLED_NAME ? std::nullopt : written_time(file_name);
    if (!recovery_offered(written_time(recovery), data)) return RecoveryOffer::open;
    // Another editor is writing it: it is that editor's, not a leftover.
    if (!FileLock::take(full_path(recovery), app().main_window).held()) return RecoveryOffer::open;
    const std::string shown = file_name == UNTITLED_NAME ? "無題の文書" : utf8_to_cp932(file_name);
    switch (choice_box(owner, {"前回の編集内容が残っています。復元しますか？\n" + shown,
                               "復元(&R)", "破棄(&D)"})) {
        case Choice::first: return RecoveryOffer::restore;
        case Choice::second:
            SetFileAttributesW(wide_path(recovery).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(wide_path(recovery).c_str());
            return RecoveryOffer::open;
        case Choice::cancel: break;
    }
    return RecoveryOffer::cancel;
}

void finish_recovery() { end_job(); }

}  // namespace qz
