#include "core/SingleInstance.h"

#include "TestFiles.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::SingleInstance;

namespace {

// Whether another process can take the lock now (it releases it at once).
bool OtherProcessAcquires(const std::string& name, const std::string& dir) {
    const pid_t child = fork();
    if (child == 0) {
        auto held = SingleInstance::TryAcquire(name, dir);
        _exit(held && held->IsLocked() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SingleInstance, OneHolderPerNameUntilReleased) {
    testfiles::ScratchDir dir;
    auto first = SingleInstance::TryAcquire("Kestrova", dir.Path);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsLocked());
    EXPECT_EQ(first->Path(), dir.File("Kestrova.lock"));

    EXPECT_EQ(SingleInstance::TryAcquire("Kestrova", dir.Path), nullptr); // same process
    EXPECT_FALSE(OtherProcessAcquires("Kestrova", dir.Path));
    // The other program has its own lock.
    auto scope = SingleInstance::TryAcquire("Trevalume", dir.Path);
    EXPECT_NE(scope, nullptr);

    first.reset();
    EXPECT_TRUE(OtherProcessAcquires("Kestrova", dir.Path));
    EXPECT_NE(SingleInstance::TryAcquire("Kestrova", dir.Path), nullptr);
}

TEST(SingleInstance, AHolderThatEndedWithoutCleaningUpBlocksNobody) {
    testfiles::ScratchDir dir;
    // A child takes the lock and dies without any clean-up: the file stays.
    const pid_t child = fork();
    if (child == 0) {
        auto held = SingleInstance::TryAcquire("Kestrova", dir.Path);
        _exit(held && held->IsLocked() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(access(dir.File("Kestrova.lock").c_str(), F_OK), 0);

    EXPECT_NE(SingleInstance::TryAcquire("Kestrova", dir.Path), nullptr);
}

TEST(SingleInstance, LockFileLivesInTheUserRuntimeDirectory) {
    testfiles::ScratchDir dir;
    {
        testfiles::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.Path);
        EXPECT_EQ(SingleInstance::LockPath("Kestrova"), dir.File("Kestrova.lock"));
        auto held = SingleInstance::TryAcquire("Kestrova");
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(held->Path(), dir.File("Kestrova.lock"));
        // A name cannot lead out of the folder.
        EXPECT_EQ(SingleInstance::LockPath("../x"), dir.File(".._x.lock"));
    }
    for (const char* unusable : {"", "/nonexistent-runtime-dir"}) {
        testfiles::ScopedEnv runtime("XDG_RUNTIME_DIR", std::string(unusable));
        EXPECT_EQ(SingleInstance::LockPath("Trevalume"),
                  "/tmp/Trevalume-" + std::to_string(getuid()) + ".lock");
    }
    testfiles::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(SingleInstance::LockPath("Trevalume"),
              "/tmp/Trevalume-" + std::to_string(getuid()) + ".lock");
}

TEST(SingleInstance, AFolderWithoutRoomForTheLockDoesNotKeepTheProgramFromStarting) {
    testfiles::ScratchDir dir;
    auto first = SingleInstance::TryAcquire("Kestrova", dir.File("absent"));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->IsLocked());
    auto second = SingleInstance::TryAcquire("Kestrova", dir.File("absent"));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->IsLocked());
}

} // namespace
