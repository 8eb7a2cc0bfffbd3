#pragma once
// JPEGs checked ahead of the save on a second core: a worker thread checks
// the list's JPEGs in order while the save writes the pages before them, and
// the save takes each verdict when it reaches that picture (checking it
// itself when the worker has not begun it).  The worker only reads files;
// it never touches a window, the list or the status line.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pdf/jpeg_header.h"

namespace velbrook {

// Whether a JPEG goes into the PDF as it is, and what it is.
struct Jpeg_Verdict {
    bool whole = false;  // its markers lead to its end and its data reads
    Jpeg_Header header;
    std::uint64_t length = 0;  // its bytes through the end-of-image marker
    int orientation = 1;       // the camera's Exif tag
};

class Jpeg_Check_Ahead {
public:
    // Checks one file; `stop` turns true when the answer is no longer
    // wanted (the check may then end early, with any verdict).
    using Check = std::function<Jpeg_Verdict(const std::wstring& path, const std::atomic<bool>& stop)>;

    // Starts the worker on `paths`, in their order.
    Jpeg_Check_Ahead(std::vector<std::wstring> paths, Check check);
    // Stops the worker, waiting for the file it is on.
    ~Jpeg_Check_Ahead();
    Jpeg_Check_Ahead(const Jpeg_Check_Ahead&) = delete;
    Jpeg_Check_Ahead& operator=(const Jpeg_Check_Ahead&) = delete;

    // The verdict on the next file of this name, after the last one taken;
    // checked on this thread when the worker has not begun it.  Nothing
    // when no file of this name is left in the list.
    std::optional<Jpeg_Verdict> Take(const std::wstring& path);

private:
    enum class State { Waiting, Checking, Done };
    struct Job {
        std::wstring path;
        State state = State::Waiting;
        Jpeg_Verdict verdict;
    };
    void Work();

    std::vector<Job> jobs_;
    Check check_;
    std::size_t taken_ = 0;  // jobs before this one are passed
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    std::thread worker_;
};

}  // namespace velbrook
