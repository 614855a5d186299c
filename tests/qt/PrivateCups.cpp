#include "PrivateCups.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCupsd = "/usr/sbin/cupsd";
constexpr const char* kCupsPdfBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
// The file cups-pdf reads its settings from; its path is built into it.
constexpr const char* kCupsPdfConf = "/etc/cups/cups-pdf.conf";

// A port on 127.0.0.1 that nothing listens on right now.
int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}

} // namespace

PrivateCups::PrivateCups(std::string dir) : dir_(std::move(dir)) {}

PrivateCups::~PrivateCups() { Stop(); }

bool PrivateCups::Start() {
    if (::geteuid() != 0) {
        error_ = "the scheduler and the virtual PDF printer need root";
        return false;
    }
    for (const char* needed : {kCupsd, kCupsPdfBackend, kCupsPdfPpd, kCupsPdfConf}) {
        if (!fs::exists(needed)) {
            error_ = std::string(needed) + " is missing: install cups and printer-driver-cups-pdf "
                                           "(scripts/install-deps.sh)";
            return false;
        }
    }
    port_ = FreePort();
    if (port_ == 0) {
        error_ = "no free port on 127.0.0.1";
        return false;
    }
    std::error_code ec;
    for (const char* sub : {"conf/ppd", "spool/tmp", "cache", "state", "log", "out", "pdf-spool"})
        fs::create_directories(dir_ + "/" + sub, ec);
    // The filters run as the scheduler's own user and must reach the spool.
    ::chmod(dir_.c_str(), 0755);

    const std::string& d = dir_;
    WriteText(d + "/conf/cupsd.conf",
              "LogLevel debug\nListen 127.0.0.1:" + std::to_string(port_) + "\nListen " + Socket() +
                  "\nBrowsing Off\nWebInterface No\nDefaultAuthType None\n"
                  "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                  "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
    WriteText(d + "/conf/cups-files.conf",
              "ServerRoot " + d + "/conf\nRequestRoot " + d + "/spool\nTempDir " + d + "/spool/tmp\nCacheDir " + d +
                  "/cache\nStateDir " + d + "/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                  "DocumentRoot /usr/share/cups/doc-root\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
                  "/log/access_log\nPageLog " + d + "/log/page_log\nPrintcap " + d + "/printcap\n");
    // The virtual printer's settings: output, its own spool and log here.
    WriteText(d + "/cups-pdf.conf", "Out " + OutputDir() + "\nAnonDirName " + OutputDir() + "\nSpool " + d +
                                        "/pdf-spool\nLabel 1\nGrp root\nUserUMask 0022\nAnonUMask 0022\n");

    const std::string overlay = dir_ + "/cups-pdf.conf";
    const std::string cupsdConf = dir_ + "/conf/cupsd.conf";
    const std::string filesConf = dir_ + "/conf/cups-files.conf";
    const std::string outLog = dir_ + "/log/cupsd.out";
    pid_ = ::fork();
    if (pid_ < 0) {
        error_ = "fork failed";
        return false;
    }
    if (pid_ == 0) {
        // The child: die with the test, lay the private settings over the
        // virtual printer's in a mount namespace of its own, run cupsd.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int fd = ::open(outLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(overlay.c_str(), kCupsPdfConf, nullptr, MS_BIND, nullptr) != 0) {
            static const char msg[] = "cannot make a private mount namespace for the scheduler\n";
            (void)!::write(2, msg, sizeof msg - 1);
            ::_exit(126);
        }
        ::execl(kCupsd, "cupsd", "-f", "-c", cupsdConf.c_str(), "-s", filesConf.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }

    // Ready when it answers on its socket.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "the scheduler stopped at start: " + ReadFileText(outLog) + Log();
            return false;
        }
        if (fs::exists(Socket()) && Client("lpstat", "-r").out.find("is running") != std::string::npos) break;
        if (std::chrono::steady_clock::now() > deadline) {
            error_ = "the scheduler did not answer within 30 seconds: " + Log();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The queue; pdftocairo keeps the text of the page findable in the
    // virtual printer's PDF.
    const CommandResult add = Client(
        "lpadmin", std::string("-p ") + kQueue + " -E -v cups-pdf:/ -P " + kCupsPdfPpd +
                       " -o pdftops-renderer-default=pdftocairo");
    if (add.exitCode != 0) {
        error_ = "lpadmin failed: " + add.err + Log();
        return false;
    }
    return true;
}

void PrivateCups::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pid_ = -1;
}

void PrivateCups::PointThisProcessAtIt() const {
    setenv("CUPS_SERVER", Socket().c_str(), 1);
    // The CUPS library keeps the server it first looked up; when it is
    // already loaded, tell it again.
    if (void* lib = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD)) {
        using SetServer = void (*)(const char*);
        if (auto set = reinterpret_cast<SetServer>(::dlsym(lib, "cupsSetServer"))) set(Socket().c_str());
        ::dlclose(lib);
    }
}

CommandResult PrivateCups::Client(const std::string& program, const std::string& args) const {
    return RunProgram(program, "-h " + ShellQuote(Socket()) + " " + args, dir_);
}

std::vector<std::string> PrivateCups::WaitForOutput(std::size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    std::vector<std::string> files;
    for (;;) {
        files.clear();
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(OutputDir(), ec))
            if (entry.path().extension() == ".pdf") files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        const bool idle = Client("lpstat", std::string("-o ") + kQueue).out.empty();
        if ((idle && files.size() >= count) || std::chrono::steady_clock::now() > deadline) return files;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

std::string PrivateCups::Log() const {
    std::string log = ReadFileText(dir_ + "/log/error_log");
    // The end says most; debug logs are long.
    if (log.size() > 6000) log = "..." + log.substr(log.size() - 6000);
    return log;
}

} // namespace velmora::test
