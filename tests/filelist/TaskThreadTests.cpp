// Work done aside: it runs while the caller goes on, and what it throws reaches whoever waits for it, as
// often as they wait; joining alone throws nothing.
#include "TaskThread.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace {

enum class Ending { Returns, RunsOutOfMemory, Fails };

struct Case {
    const char* name;
    Ending ending;
};

const Case kCases[] = {
    {"Returns", Ending::Returns},
    {"RunsOutOfMemory", Ending::RunsOutOfMemory},
    {"Fails", Ending::Fails},
};

class TaskThreadEnding : public ::testing::TestWithParam<Case> {};

TEST_P(TaskThreadEnding, RunsBesideTheCallerAndHandsOnWhatItThrewToEveryWait) {
    HANDLE callerWentOn = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(callerWentOn, nullptr);
    bool sawCallerGoOn = false;
    {
        CTaskThread task;
        EXPECT_FALSE(task.Started());
        ASSERT_TRUE(task.Start([&] {
            // Done in the caller's own thread, Start would wait here for ever, or 5 s.
            sawCallerGoOn = ::WaitForSingleObject(callerWentOn, 5000) == WAIT_OBJECT_0;
            if (GetParam().ending == Ending::RunsOutOfMemory)
                throw std::bad_alloc();
            if (GetParam().ending == Ending::Fails)
                throw std::runtime_error("failed");
        }));
        EXPECT_TRUE(task.Started());
        EXPECT_FALSE(task.Start([] {})) << "a second piece of work on the same thread";
        ::SetEvent(callerWentOn);
        EXPECT_NO_THROW(task.Join());
        for (int wait = 0; wait < 2; ++wait) {
            switch (GetParam().ending) {
            case Ending::Returns:
                EXPECT_NO_THROW(task.Wait());
                break;
            case Ending::RunsOutOfMemory:
                EXPECT_THROW(task.Wait(), std::bad_alloc);
                break;
            case Ending::Fails:
                EXPECT_THROW(task.Wait(), std::runtime_error);
                break;
            }
        }
    }
    ::CloseHandle(callerWentOn);
    EXPECT_TRUE(sawCallerGoOn);
}

INSTANTIATE_TEST_SUITE_P(Endings, TaskThreadEnding, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

TEST(TaskThread, NeverStartedHasNothingToWaitFor) {
    CTaskThread task;
    EXPECT_FALSE(task.Started());
    EXPECT_NO_THROW(task.Wait());
}

} // namespace
