// The crash reporter in a child process that really faults: the report it
// leaves in crash.txt and on stderr, and the fault's own end afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <thread>

#include "app/crash/crash_host.h"
#include "app/crash/crash_report.h"
#include "app/crash/crash_reporter.h"
#include "app/crash/crash_upload.h"
#include "app/crash/http_transfer.h"
#include "tests/app/loopback_server.h"
#include "tests/platform/temp_folder.h"

// The faults below are meant: the undefined-behaviour checks stay out of them.
// Under AddressSanitizer its own handler keeps SIGSEGV unless told to let the
// program install one; the reporter is what these tests are about.
extern "C" const char* __asan_default_options() { return "allow_user_segv_handler=1"; }

namespace {

class HeaderHost : public NullCrashHost {
public:
    std::string BuildCrashReportHeader() override { return "Product: Crash Test\r\n"; }

private:
    ScopedService<CrashHost> installed_{this};
};

// The store itself is volatile: an optimiser may drop a plain store through
// a pointer it can prove dead, and then nothing faults in a release build.
__attribute__((no_sanitize("undefined"))) void WriteThroughNull() {
    volatile int* volatile target = nullptr;
    *target = 1;
}

__attribute__((no_sanitize("undefined"))) void DivideByZero() {
    volatile int zero = 0;
    volatile int quotient = 10 / zero;
    (void)quotient;
}

// Deep enough to pass any stack limit; the array keeps each frame large and
// the use after the call keeps the recursion from becoming a loop.
__attribute__((no_sanitize("undefined"), noinline)) int Recurse(int depth, int limit) {
    if (depth == limit) return 0;
    volatile char frame[1024];
    frame[depth % 1024] = static_cast<char>(depth);
    return Recurse(depth + 1, limit) + frame[(depth * 7) % 1024];
}

void OverflowTheStack() { Recurse(0, std::numeric_limits<int>::max()); }

struct Outcome {
    int signal = 0;  // what ended the child; 0 when it exited
    std::string report, stderrText;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `crash` in a child working in `folder`, with the reporter (and an
// application when asked) installed.
Outcome CrashInChild(void (*crash)(), bool withApplication) {
    testsupport::TempFolder folder;
    const std::string errors = folder / "stderr.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0 || ::chdir(folder.Path().c_str()) != 0) ::_exit(90);
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        std::unique_ptr<HeaderHost> host(withApplication ? new HeaderHost : nullptr);
        CrashReporter reporter;
        if (!reporter.Installed()) ::_exit(91);
        crash();
        ::_exit(92);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : -WEXITSTATUS(status);
    outcome.report = ReadFile(folder / "crash.txt");
    outcome.stderrText = ReadFile(errors);
    return outcome;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find("\r\n")); }

TEST(CrashReporter, FaultsInAChildLeaveTheirReportAndEndByTheirSignal) {
    struct Case {
        const char* what;
        void (*crash)();
        int signal;
        const char* firstLine;
        const char* module;  // where the fault happened
    };
    for (const Case& c :
         {Case{"null write", WriteThroughNull, SIGSEGV, "Exception: Access Violation (code 0xc0000005)", "tests_app"},
          Case{"division", DivideByZero, SIGFPE, "Exception: Integer Divide by Zero (code 0xc0000094)", "tests_app"},
          Case{"-crash", [] { CrashReporter::RaiseCrash(); }, SIGSEGV, "Exception: Access Violation (code 0xc0000005)",
               "libc.so.6"},
          Case{"stack overflow", OverflowTheStack, SIGSEGV, "Exception: Stack Overflow (code 0xc00000fd)", "tests_app"},
          Case{"abort", [] { std::abort(); }, SIGABRT, "Unknown exception: (code 0x40000015)", "libc.so.6"}}) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = CrashInChild(c.crash, true);
        EXPECT_EQ(outcome.signal, c.signal);
        EXPECT_EQ(FirstLine(outcome.report).rfind(c.firstLine, 0), 0u) << outcome.report;
        EXPECT_NE(outcome.report.find(std::string("\r\nModule: ") + c.module + "\r\n"), std::string::npos);
        EXPECT_NE(outcome.report.find("\r\nLogical Address: 000"), std::string::npos);
        EXPECT_NE(outcome.report.find("\r\nRIP:"), std::string::npos);
        EXPECT_NE(outcome.report.find("\r\nSystem Ver: Linux "), std::string::npos);
        EXPECT_NE(outcome.report.find("\r\n\r\nProduct: Crash Test\r\n"), std::string::npos);
        // The report reaches stderr whole, before anything else the handler does.
        EXPECT_EQ(outcome.stderrText.find(outcome.report), 0u);
    }
}

TEST(CrashReporter, WithoutAnApplicationTheReportHasNoHeader) {
    const Outcome outcome = CrashInChild(WriteThroughNull, false);
    EXPECT_EQ(outcome.signal, SIGSEGV);
    ASSERT_FALSE(outcome.report.empty());
    EXPECT_EQ(outcome.report.find("Product:"), std::string::npos);
    // Every line ends in CR LF and the last one is the system line.
    EXPECT_EQ(outcome.report.substr(outcome.report.size() - 2), "\r\n");
    EXPECT_NE(outcome.report.rfind("System Ver: "), std::string::npos);
}

TEST(CrashReporter, EndingTheReporterPutsThePreviousHandlersBack) {
    struct sigaction before {
    }, during{}, after{};
    ::sigaction(SIGBUS, nullptr, &before);
    {
        CrashReporter reporter;
        ASSERT_TRUE(reporter.Installed());
        ::sigaction(SIGBUS, nullptr, &during);
        EXPECT_NE(reinterpret_cast<void*>(during.sa_sigaction), reinterpret_cast<void*>(before.sa_sigaction));
        EXPECT_TRUE(during.sa_flags & SA_ONSTACK);
    }
    ::sigaction(SIGBUS, nullptr, &after);
    EXPECT_EQ(reinterpret_cast<void*>(after.sa_sigaction), reinterpret_cast<void*>(before.sa_sigaction));
}

TEST(CrashReport, WithoutNamedFramesTheFramePointerChainIsReported) {
    // A made-up stack of three frames, each a link to the caller's frame and
    // a return address; the outermost links to an unreadable address.
    const uintptr_t code = reinterpret_cast<uintptr_t>(&WriteThroughNull);
    uintptr_t stack[12] = {};
    stack[0] = reinterpret_cast<uintptr_t>(&stack[4]), stack[1] = code + 1;
    stack[4] = reinterpret_cast<uintptr_t>(&stack[8]), stack[5] = code + 2;
    stack[8] = uintptr_t{1} << 47, stack[9] = code + 3;
    CrashReportParts parts;
    parts.fault.exceptionCode = 0x40000015;  // an abort
    parts.fault.threadId = 0x2a;
    parts.chain = plat::WalkFramePointers(code, reinterpret_cast<uintptr_t>(&stack[0]));
    ASSERT_EQ(parts.chain.size(), 4u);
    EXPECT_EQ(parts.chain[3].pc, code + 3);
    EXPECT_EQ(parts.chain[3].frame, stack[8]);
    const std::string text = BuildCrashReport(parts).text;
    EXPECT_EQ(FirstLine(text), "Unknown exception: (code 0x40000015) at address 0000000000000000 in thread 2A");
    char line[128];
    std::snprintf(line, sizeof line, "\r\n%016llX  %016llX  0002:", static_cast<unsigned long long>(code + 2),
                  static_cast<unsigned long long>(stack[4]));
    EXPECT_NE(text.find(std::string(line) + "0"), std::string::npos) << text;
    EXPECT_NE(text.find(" tests_app\r\n\r\n"), std::string::npos);
}

TEST(CrashReport, UnknownCodeAndFaultTable) {
    EXPECT_STREQ(FaultName(0x80000002), "Data Type Misalignment");
    EXPECT_STREQ(FaultName(0xC0000096), "Privileged Instruction");
    EXPECT_STREQ(FaultName(0xC000008E), "Divide by Zero");
    EXPECT_EQ(FaultName(0x12345678), nullptr);
}

// The upload's Host header named the whole address; servers need the host.
TEST(CrashUpload, RequestGoesToTheAddresssHostPortAndPath) {
    CrashUploadFields fields{{{"zeta", "1"}, {"alpha", "2"}}, "Prod",      "1.3", "",
                             "Exception at 0001:00000010",    "report\r\n"};
    const std::string request = BuildCrashUpload("http://errors.example.test:8080/bin/post.php", fields);
    EXPECT_EQ(request.rfind("POST /bin/post.php HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(request.find("\r\nHost: errors.example.test:8080\r\n"), std::string::npos);
    const size_t bodyStart = request.find("\r\n\r\n") + 4;
    const std::string body = request.substr(bodyStart);
    EXPECT_NE(request.find("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"), std::string::npos);
    // The application's fields come first, in key order, then the report's own.
    const size_t alpha = body.find("name=\"alpha\""), zeta = body.find("name=\"zeta\""),
                 prod = body.find("name=\"prod\""), text = body.find("name=\"errortext\"");
    EXPECT_LT(alpha, zeta);
    EXPECT_LT(zeta, prod);
    EXPECT_LT(prod, text);
    EXPECT_TRUE(body.ends_with("\r\n-----------------------------7d3e1f30eec--\r\n"));
    EXPECT_EQ(BuildCrashUpload("uploads.example.test", fields).rfind("POST / HTTP/1.1\r\n", 0), 0u);
}

// The whole upload through the transfer: the server gets the form intact,
// addressed to its own host, port and path.
TEST(CrashUpload, ServerReceivesTheFormAtItsPath) {
    testsupport::LoopbackServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}},
                                       testsupport::LoopbackServer::Then::Hold);
    const std::string address = server.Url("/errors/post.php");
    const CrashUploadFields fields{{}, "Prod", "1.3", "", "Exception at 0002:00000010", "Exception: ...\r\n"};
    HTTPTransfer transfer;
    transfer.Start(address, BuildCrashUpload(address, fields));
    for (int i = 0; i < 500 && !transfer.IsFinal(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(transfer.GetState(), HTTPTransfer::kDone);
    EXPECT_EQ(server.Request(), BuildCrashUpload(address, fields));
    EXPECT_EQ(server.Request().rfind("POST /errors/post.php HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(server.Request().find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"),
              std::string::npos);
}

}  // namespace
