// The save's JPEG checks ahead on a worker thread: each file is checked once,
// by whichever thread reaches it first, and every verdict is the one the
// file's own check gives, in list order, repeated names included.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "pdf/check_ahead.h"

namespace velbrook {
namespace {

TEST(Check_Ahead, Every_File_Is_Checked_Once_And_Taken_In_List_Order) {
    std::mutex mutex;
    std::map<std::wstring, int> checks;
    std::map<std::thread::id, int> threads;
    const auto check = [&](const std::wstring& path, const std::atomic<bool>&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(mutex);
        ++checks[path];
        ++threads[std::this_thread::get_id()];
        // "bad" files are not whole; the width tells the files apart.
        Jpeg_Verdict verdict{.whole = path.find(L"bad") == std::wstring::npos};
        verdict.header.width = static_cast<int>(path.size());
        return verdict;
    };
    std::vector<std::wstring> paths;
    for (int k = 0; k < 40; ++k) paths.push_back((k % 7 == 3 ? L"bad" : L"good") + std::to_wstring(k));
    paths.push_back(L"good5");  // a name twice in the list
    Jpeg_Check_Ahead ahead(paths, check);
    for (const std::wstring& path : paths) {
        const std::optional<Jpeg_Verdict> verdict = ahead.Take(path);
        ASSERT_TRUE(verdict) << std::string(path.begin(), path.end());
        EXPECT_EQ(verdict->whole, path.find(L"bad") == std::wstring::npos);
        EXPECT_EQ(verdict->header.width, static_cast<int>(path.size()));
    }
    // Nothing is left of a name already taken, nor of a name never listed.
    EXPECT_FALSE(ahead.Take(L"good5"));
    EXPECT_FALSE(ahead.Take(L"elsewhere.jpg"));
    std::lock_guard lock(mutex);
    for (const auto& [path, count] : checks) EXPECT_EQ(count, path == L"good5" ? 2 : 1);
    int all = 0;
    for (const auto& [thread, count] : threads) all += count;
    EXPECT_EQ(all, 41);
}

TEST(Check_Ahead, Ending_The_Save_Stops_The_Worker_Mid_File) {
    std::atomic<bool> begun{false};
    {
        Jpeg_Check_Ahead ahead({L"a.jpg", L"b.jpg"}, [&](const std::wstring&, const std::atomic<bool>& stop) {
            begun = true;
            // A huge file: read until told to stop.
            while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return Jpeg_Verdict{};
        });
        while (!begun) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }  // the destructor returns only once the worker has stopped
    SUCCEED();
}

}  // namespace
}  // namespace velbrook
