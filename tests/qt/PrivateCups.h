// A CUPS scheduler of the test's own (configuration, spool, logs, socket all
// private; the machine's spooler is never touched) with one cups-pdf queue.
// cups-pdf reads a fixed settings file, so the scheduler runs in a mount
// namespace of its own where a private one is laid over it, sending the PDF
// files into the test's folder. Needs root (cupsd and cups-pdf do).
#pragma once

#include "TestSupport.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

class PrivateCups {
public:
    static constexpr const char* kQueue = "VelmoraLabels";

    explicit PrivateCups(std::string dir) : dir_(std::move(dir)) {}
    ~PrivateCups() { Stop(); }
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    const std::string& Error() const { return error_; }
    std::string Socket() const { return dir_ + "/cups.sock"; }
    std::string OutputDir() const { return dir_ + "/out"; } // the virtual printer's PDF files

    // Leaves the scheduler running with the queue enabled, or false with Error() saying why.
    bool Start() {
        for (const char* needed : {kCupsd, kCupsPdfBackend, kCupsPdfPpd, kCupsPdfConf})
            if (!std::filesystem::exists(needed))
                return Fail(std::string(needed) + " is missing: install cups and printer-driver-cups-pdf "
                                                  "(scripts/install-deps.sh)");
        std::error_code ec;
        for (const char* sub : {"conf/ppd", "spool/tmp", "cache", "state", "log", "out", "pdf-spool"})
            std::filesystem::create_directories(dir_ + "/" + sub, ec);
        ::chmod(dir_.c_str(), 0755); // the filters run as the scheduler's own user and must reach the spool
        const std::string& d = dir_;
        const std::string cupsdConf = d + "/conf/cupsd.conf", filesConf = d + "/conf/cups-files.conf";
        const std::string overlay = d + "/cups-pdf.conf", outLog = d + "/log/cupsd.out";
        std::ofstream(cupsdConf) << "LogLevel debug\nListen " << Socket()
                                 << "\nBrowsing Off\nWebInterface No\nDefaultAuthType None\n"
                                    "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                    "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n";
        std::ofstream(filesConf) << "ServerRoot " << d << "/conf\nRequestRoot " << d << "/spool\nTempDir " << d
                                 << "/spool/tmp\nCacheDir " << d << "/cache\nStateDir " << d
                                 << "/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                    "DocumentRoot /usr/share/cups/doc-root\nErrorLog "
                                 << d << "/log/error_log\nAccessLog " << d << "/log/access_log\nPageLog " << d
                                 << "/log/page_log\nPrintcap " << d << "/printcap\n";
        std::ofstream(overlay) << "Out " << OutputDir() << "\nAnonDirName " << OutputDir() << "\nSpool " << d
                               << "/pdf-spool\nLabel 1\nGrp root\nUserUMask 0022\nAnonUMask 0022\n";
        pid_ = ::fork();
        if (pid_ < 0) return Fail("fork failed");
        if (pid_ == 0) {
            // The child: dies with the test.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int fd = ::open(outLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) ::dup2(fd, 1), ::dup2(fd, 2);
            if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount(overlay.c_str(), kCupsPdfConf, nullptr, MS_BIND, nullptr) != 0) {
                static const char msg[] = "cannot make a private mount namespace for the scheduler\n";
                (void)!::write(2, msg, sizeof msg - 1);
                ::_exit(126);
            }
            ::execl(kCupsd, "cupsd", "-f", "-c", cupsdConf.c_str(), "-s", filesConf.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (int status = 0;; std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return Fail("the scheduler stopped at start: " + ReadFileText(outLog) + Log());
            }
            if (std::filesystem::exists(Socket()) && Client("lpstat", "-r").out.find("is running") != std::string::npos)
                break;
            if (std::chrono::steady_clock::now() > deadline)
                return Fail("the scheduler did not answer within 30 seconds: " + Log());
        }
        // pdftocairo keeps the text of the page findable in the virtual printer's PDF.
        const CommandResult add = Client("lpadmin", std::string("-p ") + kQueue + " -E -v cups-pdf:/ -P " +
                                                        kCupsPdfPpd + " -o pdftops-renderer-default=pdftocairo");
        return add.exitCode == 0 || Fail("lpadmin failed: " + add.err + Log());
    }

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 200 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0); // still there after ten seconds
        pid_ = -1;
    }

    // Points this process's CUPS clients (Qt's printing) at the scheduler, also
    // when the CUPS library is loaded already and keeps the server it looked up.
    void PointThisProcessAtIt() const {
        setenv("CUPS_SERVER", Socket().c_str(), 1);
        if (void* lib = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD)) {
            using SetServer = void (*)(const char*);
            if (auto set = reinterpret_cast<SetServer>(::dlsym(lib, "cupsSetServer"))) set(Socket().c_str());
            ::dlclose(lib);
        }
    }

    // A CUPS command (lpadmin, cupsdisable, lpstat) aimed at this scheduler.
    CommandResult Client(const std::string& program, const std::string& args) const {
        return RunProgram(program, "-h " + ShellQuote(Socket()) + " " + args, dir_);
    }

    // The output folder's PDF files, sorted, once the queue is empty and there
    // are count of them, or fewer after two minutes.
    std::vector<std::string> WaitForOutput(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        for (;; std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
            std::vector<std::string> files;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(OutputDir(), ec))
                if (entry.path().extension() == ".pdf") files.push_back(entry.path().string());
            std::sort(files.begin(), files.end());
            const bool idle = Client("lpstat", std::string("-o ") + kQueue).out.empty();
            if ((idle && files.size() >= count) || std::chrono::steady_clock::now() > deadline) return files;
        }
    }

    // The end of the scheduler's (long, debug) error log.
    std::string Log() const {
        const std::string log = ReadFileText(dir_ + "/log/error_log");
        return log.size() > 6000 ? "..." + log.substr(log.size() - 6000) : log;
    }

private:
    static constexpr const char* kCupsd = "/usr/sbin/cupsd";
    static constexpr const char* kCupsPdfBackend = "/usr/lib/cups/backend/cups-pdf";
    static constexpr const char* kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
    static constexpr const char* kCupsPdfConf = "/etc/cups/cups-pdf.conf"; // built into cups-pdf

    bool Fail(std::string why) {
        error_ = std::move(why);
        return false;
    }
    std::string dir_;
    std::string error_;
    pid_t pid_ = -1;
};

} // namespace velmora::test
