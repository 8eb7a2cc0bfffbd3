#include "pdf/check_ahead.h"

#include <algorithm>

namespace velbrook {

Jpeg_Check_Ahead::Jpeg_Check_Ahead(std::vector<std::wstring> paths, Check check) : check_(std::move(check)) {
    jobs_.reserve(paths.size());
    for (std::wstring& path : paths) jobs_.push_back({std::move(path)});
    if (!jobs_.empty()) worker_ = std::thread([this] { Work(); });
}

Jpeg_Check_Ahead::~Jpeg_Check_Ahead() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void Jpeg_Check_Ahead::Work() {
    std::unique_lock lock(mutex_);
    for (std::size_t next = 0; !stop_; ++next) {
        // Never behind the save: what it has passed is not wanted.
        next = std::max(next, taken_);
        while (next < jobs_.size() && jobs_[next].state != State::Waiting) ++next;
        if (next >= jobs_.size()) return;
        Job& job = jobs_[next];
        job.state = State::Checking;
        const std::wstring path = job.path;
        lock.unlock();
        Jpeg_Verdict verdict = check_(path, stop_);
        lock.lock();
        job.verdict = verdict;
        job.state = State::Done;
        done_.notify_all();
    }
}

std::optional<Jpeg_Verdict> Jpeg_Check_Ahead::Take(const std::wstring& path) {
    std::unique_lock lock(mutex_);
    std::size_t at = taken_;
    while (at < jobs_.size() && jobs_[at].path != path) ++at;
    if (at >= jobs_.size()) return std::nullopt;
    taken_ = at + 1;
    Job& job = jobs_[at];
    if (job.state == State::Waiting) {
        job.state = State::Checking;
        lock.unlock();
        const std::atomic<bool> never{false};
        Jpeg_Verdict verdict = check_(path, never);
        lock.lock();
        job.verdict = verdict;
        job.state = State::Done;
    }
    done_.wait(lock, [&] { return job.state == State::Done; });
    return job.verdict;
}

}  // namespace velbrook
