// Move-only owners for the system's handles: Win32 handles on Windows,
// file descriptors elsewhere.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <utility>

namespace qz {

// Owns one handle of the kind Traits describes (its type, the value that
// holds none, whether one is held, how it is closed).
template <class Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer h) noexcept : handle_(h) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { close(); }

    pointer get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::valid(handle_); }
    pointer release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(pointer h = Traits::invalid()) noexcept {
        close();
        handle_ = h;
    }

private:
    void close() noexcept {
        if (Traits::valid(handle_)) Traits::close(handle_);
    }
    pointer handle_ = Traits::invalid();
};

// A handle that is null when there is none, closed by calling `Close`.
template <class Handle, auto Close>
struct null_handle_traits {
    using pointer = Handle;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { Close(h); }
};

#ifdef _WIN32

// A file, a mapping, a thread: anything CloseHandle closes.
struct file_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(pointer h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(pointer h) noexcept { CloseHandle(h); }
};

struct find_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(pointer h) noexcept { return h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { FindClose(h); }
};

using unique_file = unique_handle<file_traits>;
using unique_find = unique_handle<find_traits>;

#else

struct fd_traits {
    using pointer = int;
    static pointer invalid() noexcept { return -1; }
    static bool valid(pointer fd) noexcept { return fd >= 0; }
    static void close(pointer fd) noexcept { ::close(fd); }
};

using unique_fd = unique_handle<fd_traits>;

#endif

}  // namespace qz
