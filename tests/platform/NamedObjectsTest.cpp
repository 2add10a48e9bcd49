// Named pipes, named events and program starts: the process-to-process objects of the machine.
#include "platform/FileVersion.h"
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "platform/NamedPipe.h"
#include "platform/ShellExecute.h"
#include "tests/support/TestMachine.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const char kPipe[] = "\\\\.\\pipe\\0f8fad5b-d9cb-469f-a165-70867728950e";

class NamedObjects : public tltest::MachineTest {
protected:
    // Waits up to five seconds for the file that a started program writes last.
    static std::string WaitForFile(const fs::path& path) {
        for (int i = 0; i < 500 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(10ms);
        return ReadFile(path);
    }
};

} // namespace

TEST_F(NamedObjects, PipeNamesMapIntoThePrefixWithoutRegardToCase) {
    EXPECT_EQ(tl::PipeHostPath("\\\\.\\PIPE\\Setup-ABC"), prefix() / "machine" / "pipes" / "setup-abc");
    for (const char* bad :
         {"\\\\.\\pipe\\", "\\\\.\\pipe\\..", "\\\\.\\pipe\\a/b", "C:\\pipe\\x", "\\\\HOST\\pipe\\x"}) {
        DWORD error = 0;
        EXPECT_FALSE(tl::PipeHostPath(bad, &error)) << bad;
        EXPECT_EQ(error, win::ERROR_INVALID_NAME) << bad;
    }
}

TEST_F(NamedObjects, APipeHasOneClientAndItsNameGoesWithItsServer) {
    EXPECT_FALSE(tl::OpenNamedPipe(kPipe));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);

    tl::NamedPipeServer server;
    ASSERT_TRUE(server.Create(kPipe));
    tl::NamedPipeServer rival;
    EXPECT_FALSE(rival.Create(kPipe));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PIPE_BUSY);

    EXPECT_FALSE(server.AcceptClient(0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PIPE_LISTENING);
    const tl::UniqueFd client = tl::OpenNamedPipe(kPipe);
    ASSERT_TRUE(client);
    const tl::UniqueFd served = server.AcceptClient(1000);
    ASSERT_TRUE(served);
    EXPECT_EQ(::write(client.get(), "hi", 2), 2);
    char reply[2] = {};
    EXPECT_EQ(::read(served.get(), reply, 2), 2);
    EXPECT_EQ(std::string(reply, 2), "hi");

    // Taken: a second client finds no pipe, and the name is free again.
    EXPECT_FALSE(tl::OpenNamedPipe(kPipe));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(*tl::PipeHostPath(kPipe)));
}

TEST_F(NamedObjects, ANameLeftByAServerThatDiedIsTakenOver) {
    // What a server that was killed leaves: a bound socket's name with nobody listening.
    const fs::path path = *tl::PipeHostPath(kPipe);
    fs::create_directories(path.parent_path());
    {
        const tl::UniqueFd dead(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        ASSERT_EQ(::bind(dead.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(fs::exists(path));
    EXPECT_FALSE(tl::OpenNamedPipe(kPipe));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);

    tl::NamedPipeServer server;
    ASSERT_TRUE(server.Create(kPipe));
    EXPECT_TRUE(tl::OpenNamedPipe(kPipe));
    server.Close();
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(NamedObjects, PipesWorkUnderAPrefixTooDeepForASocketAddress) {
    const fs::path deep = prefix() / std::string(60, 'd') / std::string(60, 'e');
    tl::ScopedMachine scope(std::make_unique<tl::Machine>(deep));
    tl::NamedPipeServer server;
    ASSERT_TRUE(server.Create(kPipe));
    ASSERT_GT(tl::PipeHostPath(kPipe)->string().size(), sizeof(sockaddr_un::sun_path));
    const tl::UniqueFd client = tl::OpenNamedPipe(kPipe);
    EXPECT_TRUE(client);
    EXPECT_TRUE(server.AcceptClient(1000));
}

TEST_F(NamedObjects, AnEventKeepsOneSignalUntilAWaiterTakesIt) {
    tl::NamedEvent setter;
    tl::NamedEvent waiter;
    ASSERT_TRUE(setter.Create("TLMFIMPRT"));
    ASSERT_TRUE(waiter.Create("TLMFIMPRT"));
    EXPECT_EQ(waiter.Wait(0), win::WAIT_TIMEOUT);
    EXPECT_TRUE(setter.Set());
    EXPECT_TRUE(setter.Set()); // auto-reset: still one signal
    EXPECT_EQ(waiter.Wait(1000), win::WAIT_OBJECT_0);
    EXPECT_EQ(waiter.Wait(0), win::WAIT_TIMEOUT);
}

TEST_F(NamedObjects, AWaitEndsWhenAnotherThreadSignals) {
    tl::NamedEvent waiter;
    ASSERT_TRUE(waiter.Create("Ready"));
    std::thread setterThread([] {
        std::this_thread::sleep_for(50ms);
        tl::NamedEvent setter;
        EXPECT_TRUE(setter.Create("Ready"));
        EXPECT_TRUE(setter.Set());
        std::this_thread::sleep_for(200ms); // holds the event while the waiter takes the signal
    });
    EXPECT_EQ(waiter.Wait(5000), win::WAIT_OBJECT_0);
    setterThread.join();
}

TEST_F(NamedObjects, ASignalDoesNotOutliveItsHolders) {
    {
        tl::NamedEvent setter;
        ASSERT_TRUE(setter.Create("TLMFIMPRT"));
        ASSERT_TRUE(setter.Set());
    } // the only holder closes, as when its process dies
    tl::NamedEvent waiter;
    ASSERT_TRUE(waiter.Create("TLMFIMPRT"));
    EXPECT_EQ(waiter.Wait(0), win::WAIT_TIMEOUT);
}

TEST_F(NamedObjects, CreatingAnEventSaysWhetherSomeoneHoldsIt) {
    tl::NamedEvent first;
    ASSERT_TRUE(first.Create("Global\\TLMECF_DEAD_EVENT"));
    EXPECT_FALSE(first.AlreadyExisted());
    EXPECT_EQ(win::GetLastError(), win::ERROR_SUCCESS);
    tl::NamedEvent second;
    ASSERT_TRUE(second.Create("Global\\TLMECF_DEAD_EVENT"));
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    first.Close();
    second.Close(); // the last holder goes, as when its process dies: the FIFO's name stays
    tl::NamedEvent third;
    ASSERT_TRUE(third.Create("Global\\TLMECF_DEAD_EVENT"));
    EXPECT_FALSE(third.AlreadyExisted());
}

TEST_F(NamedObjects, AManualResetEventStaysSignalledUntilReset) {
    tl::NamedEvent setter;
    tl::NamedEvent waiter;
    ASSERT_TRUE(setter.Create("Kill", tl::EventReset::Manual));
    ASSERT_TRUE(waiter.Create("Kill", tl::EventReset::Manual));
    EXPECT_EQ(waiter.Wait(0), win::WAIT_TIMEOUT);
    ASSERT_TRUE(setter.Set());
    EXPECT_EQ(waiter.Wait(1000), win::WAIT_OBJECT_0);
    EXPECT_EQ(waiter.Wait(0), win::WAIT_OBJECT_0);
    EXPECT_EQ(setter.Wait(0), win::WAIT_OBJECT_0);
    ASSERT_TRUE(waiter.Reset());
    EXPECT_EQ(setter.Wait(0), win::WAIT_TIMEOUT);
}

TEST_F(NamedObjects, AnEventNameTakenByAFileIsRefused) {
    WriteFile(prefix() / "machine" / "events" / "Plain", "x");
    tl::NamedEvent event;
    EXPECT_FALSE(event.Create("Plain"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
    EXPECT_FALSE(event.Create("a/b"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
}

TEST(CommandLine, SplitsAsTheRunTimeDoes) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(win::CommandLineToArgv("\\\\.\\pipe\\abc"), (Args{"\\\\.\\pipe\\abc"}));
    EXPECT_EQ(win::CommandLineToArgv("  a\tb  "), (Args{"a", "b"}));
    EXPECT_EQ(win::CommandLineToArgv("\"C:\\Program Files\\x\" y"), (Args{"C:\\Program Files\\x", "y"}));
    EXPECT_EQ(win::CommandLineToArgv("a\\\\\"b c\" d"), (Args{"a\\b c", "d"}));
    EXPECT_EQ(win::CommandLineToArgv("a\\\"b"), (Args{"a\"b"}));
    EXPECT_EQ(win::CommandLineToArgv("\"say \"\"hi\"\"\""), (Args{"say \"hi\""}));
    EXPECT_EQ(win::CommandLineToArgv("\"\""), (Args{""}));
    EXPECT_TRUE(win::CommandLineToArgv("").empty());
}

TEST_F(NamedObjects, AStartedProgramGetsItsArgumentsAndThisMachine) {
    const fs::path script = Host("C:\\Tools\\probe.sh");
    const fs::path out = prefix() / "probe.out";
    WriteFile(
        script,
        "#!/bin/sh\nprintf '%s|%s|%s|%s' \"$1\" \"$2\" \"$TALLYMAR_PREFIX\" \"$TALLYMAR_COMPUTERNAME\" > '" +
            out.string() + ".tmp' && mv '" + out.string() + ".tmp' '" + out.string() + "'\n");
    ::chmod(script.c_str(), 0755);
    ASSERT_TRUE(win::ShellExecute("C:\\Tools\\probe.sh", "\\\\.\\pipe\\x \"two words\""));
    EXPECT_EQ(WaitForFile(out), "\\\\.\\pipe\\x|two words|" + (prefix() / "machine").string() + "|TESTPC");
}

TEST_F(NamedObjects, AProgramThatCannotStartIsReported) {
    EXPECT_FALSE(win::ShellExecute("C:\\Tools\\missing.exe", ""));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);

    WriteFile(Host("C:\\Tools\\data.exe"), "not a program");
    ::chmod(Host("C:\\Tools\\data.exe").c_str(), 0644);
    EXPECT_FALSE(win::ShellExecute("C:\\Tools\\data.exe", ""));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);

    ::chmod(Host("C:\\Tools\\data.exe").c_str(), 0755);
    EXPECT_FALSE(win::ShellExecute("C:\\Tools\\data.exe", ""));
    EXPECT_EQ(win::GetLastError(), win::ERROR_BAD_EXE_FORMAT);

    EXPECT_FALSE(win::ShellExecute("Q:\\x.exe", ""));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
}
