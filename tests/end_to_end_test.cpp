// Runs the built sender as a child process with pipes on its standard
// streams, and listens for its datagram on 127.0.0.1:6000, or on the receiver
// host's 198.51.100.2:6000 in the two-host rows.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::string> senderCommand; // set by main from the command line
std::string lineEnd = "\n";             // the platform's console line end
std::string senderHost;                 // the test hosts' network namespaces, given by main
std::string receiverHost;

const std::string receiverHostAddress = "198.51.100.2";

const std::string payload("Hello world!\r\n");
const std::string banner = "programme du sender ";
const std::string senderQuestion = "donnez ip adresse du sender sous la forme x.y.z.w, exemple 127.0.0.1 : ";
const std::string receiverQuestion = "donnez ip adresse du receiver sous la forme x.y.z.w, exemple 127.0.0.1 :";

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

sockaddr_in endpoint(const std::string& ip, std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, ip.c_str(), &address.sin_addr);
    return address;
}

// A UDP socket bound to ip:port, or an invalid one with errno set.
Fd boundUdpSocket(const std::string& ip, std::uint16_t port)
{
    Fd s(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = endpoint(ip, port);
    if (bind(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        s.reset();
        errno = error;
    }
    return s;
}

struct Datagram {
    std::string bytes;
    std::string sourceAddress;
    std::uint16_t sourcePort;
};

std::optional<Datagram> receive(const Fd& listener, std::chrono::milliseconds timeout)
{
    pollfd ready{listener.get(), POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(timeout.count())) != 1) {
        return std::nullopt;
    }
    char buffer[2048];
    sockaddr_in source{};
    socklen_t sourceLength = sizeof source;
    const ssize_t n =
        recvfrom(listener.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&source), &sourceLength);
    if (n < 0) {
        return std::nullopt;
    }
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &source.sin_addr, ip, sizeof ip);
    return Datagram{std::string(buffer, static_cast<std::size_t>(n)), ip, ntohs(source.sin_port)};
}

// Moves this process, one thread, onto a test host: a socket made there stays there.
bool enterHost(const std::string& host)
{
    const Fd ns(open(("/run/netns/" + host).c_str(), O_RDONLY | O_CLOEXEC));
    return ns.get() >= 0 && setns(ns.get(), CLONE_NEWNET) == 0;
}

// The listener on the receiver's port 6000, on the receiver host for its
// address; the ports are fixed, so say so when another program holds one.
Fd listenOnReceiverPort(const std::string& ip)
{
    const bool onReceiverHost = ip == receiverHostAddress;
    if (onReceiverHost && !enterHost(receiverHost)) {
        ADD_FAILURE() << "cannot enter the receiver host " << receiverHost << ": " << std::strerror(errno);
        return Fd();
    }
    Fd listener = boundUdpSocket(ip, 6000);
    const int error = errno;
    if (onReceiverHost && !enterHost(senderHost)) {
        ADD_FAILURE() << "cannot return to the sender host " << senderHost << ": " << std::strerror(errno);
    }
    if (listener.get() < 0) {
        ADD_FAILURE() << "cannot listen on " << ip << " port 6000 (" << std::strerror(error)
                      << "): another program holds it; stop it and run the tests again";
    }
    return listener;
}

void expectPort4148Free()
{
    if (boundUdpSocket("127.0.0.1", 4148).get() < 0) {
        ADD_FAILURE() << "port 4148 on 127.0.0.1 is not free (" << std::strerror(errno)
                      << "): another program holds it; stop it and run the tests again";
    }
}

struct ChildOptions {
    bool closedOutput = false; // standard output is a pipe nobody reads
    bool noSocket = false;     // the open file limit leaves no room for a socket
};

class SenderProcess {
public:
    explicit SenderProcess(ChildOptions options = {})
    {
        int in[2];
        int out[2];
        int err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe: " << std::strerror(errno);
            return;
        }
        if (options.closedOutput) {
            close(out[0]);
            out[0] = -1;
        }
        std::vector<char*> argv;
        for (std::string& word : senderCommand) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            signal(SIGPIPE, SIG_DFL);
            if (options.noSocket) {
                const rlimit standardStreamsOnly{3, 3};
                setrlimit(RLIMIT_NOFILE, &standardStreamsOnly);
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        input_.reset(in[1]);
        output_.reset(out[0]);
        errors_.reset(err[0]);
    }

    SenderProcess(const SenderProcess&) = delete;
    SenderProcess& operator=(const SenderProcess&) = delete;

    ~SenderProcess()
    {
        if (pid_ > 0 && !exitStatus(0ms)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    void type(const std::string& text)
    {
        ASSERT_EQ(write(input_.get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    void endInput() { input_.reset(); }

    // Standard output once it holds `length` bytes, or all there is after `timeout`.
    const std::string& outputOf(std::size_t length, std::chrono::milliseconds timeout = 10s)
    {
        const auto deadline = Clock::now() + timeout;
        while (output_.get() >= 0 && outputSeen_.size() < length && readSome(output_, outputSeen_, deadline)) {
        }
        return outputSeen_;
    }

    // The exit status once the child has ended, or nothing if it still runs after `timeout`.
    std::optional<int> exitStatus(std::chrono::milliseconds timeout = 10s)
    {
        const auto deadline = Clock::now() + timeout;
        while (!status_) {
            int status = 0;
            rusage usage{};
            const pid_t done = wait4(pid_, &status, WNOHANG, &usage);
            if (done == pid_) {
                peakMemoryKiB_ = usage.ru_maxrss;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else if (Clock::now() >= deadline) {
                break;
            } else {
                usleep(5000);
            }
        }
        return status_;
    }

    long peakMemoryKiB() const { return peakMemoryKiB_; }

    std::string errors()
    {
        std::string seen;
        while (readSome(errors_, seen, Clock::now() + 1s)) {
        }
        return seen;
    }

private:
    static bool readSome(const Fd& fd, std::string& seen, Clock::time_point deadline)
    {
        pollfd ready{fd.get(), POLLIN, 0};
        if (poll(&ready, 1, millisecondsLeft(deadline)) != 1) {
            return false;
        }
        char buffer[4096];
        const ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        seen.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    Fd input_;
    Fd output_;
    Fd errors_;
    std::string outputSeen_;
    std::optional<int> status_;
    long peakMemoryKiB_ = 0;
};

std::string wholeDialogue()
{
    return banner + lineEnd + senderQuestion + receiverQuestion;
}

// --- The operator answers each question as it appears. ---

enum class Expect { From4148, FromAnotherPort, Nothing };

// What arrived on the listener, against what the row expects.
void expectArrival(const std::optional<Datagram>& datagram, Expect expect, const std::string& sourceAddress)
{
    if (expect == Expect::Nothing) {
        EXPECT_FALSE(datagram) << "from " << datagram->sourceAddress << ":" << datagram->sourcePort;
        return;
    }
    ASSERT_TRUE(datagram) << "no datagram arrived";
    EXPECT_EQ(datagram->bytes, payload);
    EXPECT_EQ(datagram->sourceAddress, sourceAddress);
    EXPECT_EQ(datagram->sourcePort == 4148, expect == Expect::From4148) << "source port " << datagram->sourcePort;
}

template <class Row> std::string rowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

struct SendCase {
    const char* name;
    const char* senderIP;
    const char* receiverIP;
    Expect expect;
    const char* sourceAddress; // of the datagram, when one arrives
    bool hold4148 = false;     // another socket holds 127.0.0.1:4148 beforehand
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const SendCase& row, std::ostream* os)
{
    *os << row.name;
}

// Where a row's receiver listens: on the receiver host, or on loopback.
std::string listenerAddress(const SendCase& row)
{
    return row.receiverIP == receiverHostAddress ? receiverHostAddress : "127.0.0.1";
}

// Each test listens on the receiver's port and needs the sender's port free.
template <class Row> class OnFixedPorts : public testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        listener = listenOnReceiverPort(listenerAddress(this->GetParam()));
        ASSERT_GE(listener.get(), 0);
        expectPort4148Free();
        ASSERT_FALSE(this->HasFailure());
    }

    Fd listener;
};

class Send : public OnFixedPorts<SendCase> {};

TEST_P(Send, AnswersAtEachQuestion)
{
    const SendCase& c = GetParam();
    const Fd holder = c.hold4148 ? boundUdpSocket("127.0.0.1", 4148) : Fd();

    SenderProcess sender;
    const std::string untilSender = banner + lineEnd + senderQuestion;
    ASSERT_EQ(sender.outputOf(untilSender.size()), untilSender);
    sender.type(std::string(c.senderIP) + "\n");
    ASSERT_EQ(sender.outputOf(wholeDialogue().size()), wholeDialogue());

    if (c.expect == Expect::From4148) {
        EXPECT_LT(boundUdpSocket(c.senderIP, 4148).get(), 0) << "port 4148 is held while the receiver question waits";
        EXPECT_EQ(errno, EADDRINUSE);
    }
    EXPECT_FALSE(receive(listener, 0ms)) << "nothing is sent before the receiver's address";

    sender.type(std::string(c.receiverIP) + "\n");
    expectArrival(receive(listener, c.expect == Expect::Nothing ? 1s : 10s), c.expect, c.sourceAddress);
    EXPECT_FALSE(sender.exitStatus(200ms)) << "the sender waits for the closing entry";

    sender.type("0\n");
    EXPECT_EQ(sender.exitStatus(), 0);
    EXPECT_FALSE(receive(listener, 0ms)) << "one datagram a run";
    EXPECT_EQ(sender.outputOf(wholeDialogue().size() + 1, 0ms), wholeDialogue());
    EXPECT_EQ(sender.errors(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, Send,
                         testing::Values(SendCase{"Loopback", "127.0.0.1", "127.0.0.1", Expect::From4148, "127.0.0.1"},
                                         SendCase{"PortAlreadyHeld", "127.0.0.1", "127.0.0.1", Expect::FromAnotherPort,
                                                  "127.0.0.1", true},
                                         SendCase{"ReceiverNotAnAddress", "127.0.0.1", "x.y.z.w", Expect::Nothing, ""}),
                         rowName<SendCase>);

// Decided by bind() itself, so by the platform: Windows and the POSIX
// stand-in bind the other loopback address and refuse the other senders,
// where Wine binds 255.255.255.255 and falls back to any address for one it
// does not own, 127.0.0.2 among them.
INSTANTIATE_TEST_SUITE_P(
    BindRows, Send,
    testing::Values(SendCase{"OtherLoopbackSender", "127.0.0.2", "127.0.0.1", Expect::From4148, "127.0.0.2"},
                    SendCase{"SenderNotOwned", "192.0.2.1", "127.0.0.1", Expect::FromAnotherPort, "127.0.0.1"},
                    SendCase{"SenderNotAnAddress", "x.y.z.w", "127.0.0.1", Expect::FromAnotherPort, "127.0.0.1"},
                    SendCase{"SenderMulticast", "224.0.0.1", "127.0.0.1", Expect::FromAnotherPort, "127.0.0.1"},
                    SendCase{"SenderTooLong", "127.0.0.00000012", "127.0.0.1", Expect::FromAnotherPort, "127.0.0.1"}),
    rowName<SendCase>);

// Between two hosts, the sender's (198.51.100.1) and the receiver's
// (198.51.100.2), where network namespaces can be had.
INSTANTIATE_TEST_SUITE_P(TwoHostRows, Send,
                         testing::Values(SendCase{"AcrossTwoHosts", "198.51.100.1", "198.51.100.2", Expect::From4148,
                                                  "198.51.100.1"}),
                         rowName<SendCase>);

// An address of the other host: bind() fails, natively only, as in BindRows.
INSTANTIATE_TEST_SUITE_P(TwoHostBindRows, Send,
                         testing::Values(SendCase{"SenderAddressNotOwned", "198.51.100.2", "198.51.100.2",
                                                  Expect::FromAnotherPort, "198.51.100.1"}),
                         rowName<SendCase>);

// --- The whole input is there at once. ---

struct ScriptCase {
    const char* name;
    std::string input;
    Expect expect; // from 127.0.0.1:4148, from another port, or no datagram
    ChildOptions options = {};
    // Typed before the input, and never held whole in memory: the child's
    // peak memory counts this process's own at the fork.
    std::string filler = "";
    std::size_t fillerLength = 0;
};

void PrintTo(const ScriptCase& row, std::ostream* os)
{
    *os << row.name;
}

std::string listenerAddress(const ScriptCase& /*row*/)
{
    return "127.0.0.1";
}

class Script : public OnFixedPorts<ScriptCase> {};

TEST_P(Script, RunsThroughWithoutWaiting)
{
    const ScriptCase& c = GetParam();

    SenderProcess sender(c.options);
    if (c.fillerLength > 0) {
        std::string chunk;
        while (chunk.size() < (64 << 10)) {
            chunk += c.filler;
        }
        for (std::size_t typed = 0; typed < c.fillerLength; typed += chunk.size()) {
            sender.type(chunk.substr(0, c.fillerLength - typed));
        }
    }
    sender.type(c.input);
    sender.endInput();
    EXPECT_EQ(sender.exitStatus(), 0);
    if (!c.options.closedOutput) {
        EXPECT_EQ(sender.outputOf(wholeDialogue().size() + 1), wholeDialogue());
    }
    EXPECT_EQ(sender.errors(), "");
    if (c.fillerLength > 0) {
        EXPECT_LT(sender.peakMemoryKiB(), 16 * 1024) << "peak memory stays bounded, whatever the input";
    }

    expectArrival(receive(listener, 0ms), c.expect, "127.0.0.1");
    EXPECT_FALSE(receive(listener, 0ms)) << "one datagram a run";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Script,
    testing::Values(ScriptCase{"EndOfInputAtTheStart", "", Expect::Nothing},
                    ScriptCase{"OneLineAnswersEverything", "127.0.0.1 127.0.0.1 0", Expect::From4148},
                    ScriptCase{"CrLfLineEnds", "127.0.0.1\r\n127.0.0.1\r\n0\r\n", Expect::From4148},
                    ScriptCase{"ClosingEntryOverflows", "127.0.0.1\n127.0.0.1\n99999999999\n", Expect::From4148},
                    ScriptCase{"HighBytesForReceiver", "127.0.0.1\n\x80\xFF\xFE\n0\n", Expect::Nothing},
                    ScriptCase{"ZeroByteEndsTheDialogue",
                               "127.0.0.1\n\0"
                               "127.0.0.1\n0\n"s,
                               Expect::Nothing},
                    ScriptCase{"StandardOutputClosed", "127.0.0.1\n127.0.0.1\n0\n", Expect::From4148, {true}}),
    rowName<ScriptCase>);

// About the sender process itself (its open file limit, its peak memory),
// so they need the plain native program: a dynamically linked one needs
// file descriptors to load, and the sanitizers and Wine weigh far more.
INSTANTIATE_TEST_SUITE_P(
    ProcessRows, Script,
    testing::Values(ScriptCase{"NoSocketCanBeCreated", "127.0.0.1\n127.0.0.1\n0\n", Expect::Nothing, {false, true}},
                    ScriptCase{"HugeToken", "\n127.0.0.1\n0\n", Expect::FromAnotherPort, {}, "7", 32 << 20},
                    ScriptCase{
                        "HugeWhiteSpace", "127.0.0.1 127.0.0.1 0", Expect::From4148, {}, " \t\n\v\f\r", 32 << 20}),
    rowName<ScriptCase>);

} // namespace

// Usage: end_to_end_test [gtest flags] [--hosts NAME] [--crlf] COMMAND [ARGS...]
// COMMAND starts the sender: the built program, or wine with sender.exe.
// With --hosts, everything runs on the test host NAME-a, and the two-host
// rows listen on NAME-b (network namespaces that tests/hosts makes).
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    int first = 1;
    if (first + 1 < argc && std::string(argv[first]) == "--hosts") {
        senderHost = std::string(argv[first + 1]) + "-a";
        receiverHost = std::string(argv[first + 1]) + "-b";
        if (!enterHost(senderHost)) {
            std::fprintf(stderr, "cannot enter the test host %s: %s\n", senderHost.c_str(), std::strerror(errno));
            return 2;
        }
        first += 2;
    }
    if (first < argc && std::string(argv[first]) == "--crlf") {
        lineEnd = "\r\n";
        ++first;
    }
    senderCommand.assign(argv + first, argv + argc);
    if (senderCommand.empty() && !GTEST_FLAG_GET(list_tests)) {
        std::fprintf(stderr, "usage: %s [gtest flags] [--hosts NAME] [--crlf] COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
