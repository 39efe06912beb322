// A microcontroller on a serial port, stood in for by a socat pseudo-
// terminal pair the test starts and stops.
#include "app/core/live/LiveSources.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace brennic;

namespace {

// socat linking two pseudo-terminals: the program reads one end, the test
// writes the other.
class TPtyPair {
public:
    explicit TPtyPair(const std::filesystem::path& folder) : device_(folder / "mirror"), writer_(folder / "board")
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string a = "pty,raw,echo=0,link=" + device_.string(), b = "pty,raw,echo=0,link=" + writer_.string();
            ::execlp("socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !(std::filesystem::exists(device_) && std::filesystem::exists(writer_)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~TPtyPair() { Stop(); }
    void Stop()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    bool Up() const { return std::filesystem::exists(device_); }
    std::string Device() const { return device_.string(); }
    void Send(const std::string& text) const { std::ofstream(writer_) << text << std::flush; }

private:
    std::filesystem::path device_, writer_;
    pid_t pid_ = -1;
};

// Polls until rows (or a loss) arrive, at most two seconds.
TLivePoll PollFor(TLiveSource& source, std::size_t rows)
{
    TLivePoll all;
    for (int i = 0; i < 20 && all.Rows.size() < rows && !all.Lost; ++i) {
        TLivePoll p = source.Poll(std::chrono::milliseconds(100));
        all.Rows.insert(all.Rows.end(), p.Rows.begin(), p.Rows.end());
        all.Skipped.insert(all.Skipped.end(), p.Skipped.begin(), p.Skipped.end());
        all.Lost = p.Lost;
    }
    return all;
}

}  // namespace

TEST(LiveSerial, BothLineStylesABadLineAndADeviceThatGoes)
{
    test::TTempFolder folder;
    TPtyPair pty(folder.path);
    ASSERT_TRUE(pty.Up()) << "socat did not start";
    auto labelled = SerialSource(pty.Device(), 115200, ParseLineRoles(""));
    pty.Send("Mirror: 12.31 C  Air: 9.80 C\r\nboot ok\r\nMirror: 12.20 C  Air: 9.79 C\r\n");
    TLivePoll p = PollFor(*labelled, 2);
    ASSERT_EQ(p.Rows.size(), 2u);
    EXPECT_EQ(p.Rows[1].Values[lrSurface], 12.2);
    EXPECT_EQ(p.Rows[1].Values[lrAir], 9.79);
    EXPECT_GE(p.Rows[1].Time, p.Rows[0].Time) << "the time a line arrived";
    ASSERT_EQ(p.Skipped.size(), 1u);
    EXPECT_NE(p.Skipped[0].find("line 2: 'boot ok'"), std::string::npos) << p.Skipped[0];
    labelled.reset();

    auto numbers = SerialSource(pty.Device(), 9600, ParseLineRoles("surface=1,back=2,air=3"));
    pty.Send("12.31,12.5,9.80\n");
    p = PollFor(*numbers, 1);
    ASSERT_EQ(p.Rows.size(), 1u);
    EXPECT_EQ(p.Rows[0].Values[lrBack], 12.5);

    // The cable pulled: said, and tried again at every poll.
    pty.Stop();
    p = PollFor(*numbers, 1);
    ASSERT_TRUE(p.Lost);
    p = numbers->Poll(std::chrono::milliseconds(10));
    ASSERT_TRUE(p.Lost);
    EXPECT_NE(p.Lost->find(pty.Device()), std::string::npos) << *p.Lost;
}

TEST(LiveSerial, APortThatIsNoneIsRefusedNamingIt)
{
    test::TTempFolder folder;
    const std::string plain = folder.Write("notaport", "12.3\n");
    for (const std::string& device : {plain, (folder.path / "missing").string()}) {
        try {
            SerialSource(device, 9600, ParseLineRoles("surface=1"));
            ADD_FAILURE() << device << " was taken as a serial port";
        } catch (const EBrennicError& e) {
            EXPECT_NE(std::string(e.what()).find("--serial: " + device), std::string::npos) << e.what();
        }
    }
}
