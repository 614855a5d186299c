// A CUPS scheduler of the test's own: its configuration, spool, logs, socket
// and a free port on 127.0.0.1 all private, so the machine's spooler (if
// there is one) is never touched. Its one queue uses the cups-pdf virtual
// printer, which reads its settings from a fixed file in the system's CUPS
// folder; the scheduler therefore runs in a mount namespace of its own where
// a private settings file is laid over that one, sending the printed PDF
// files into the test's folder. Needs root (cupsd and cups-pdf do).
#pragma once

#include "TestSupport.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace velmora::test {

class PrivateCups {
public:
    static constexpr const char* kQueue = "VelmoraLabels";

    // Everything lives under dir. Start() leaves the scheduler running with
    // the queue enabled, or returns false with Error() saying why.
    explicit PrivateCups(std::string dir);
    ~PrivateCups(); // stops the scheduler
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool Start();
    void Stop();
    const std::string& Error() const { return error_; }
    // What clients (and Qt, through CUPS_SERVER) connect to.
    std::string Socket() const { return dir_ + "/cups.sock"; }
    // Where the virtual printer writes the PDF of each job.
    std::string OutputDir() const { return dir_ + "/out"; }
    // Points this process's CUPS clients (Qt's printing) at the scheduler,
    // also when an earlier test had them talking to another.
    void PointThisProcessAtIt() const;
    // A CUPS command (lpadmin, cupsdisable, lpstat) aimed at this scheduler.
    CommandResult Client(const std::string& program, const std::string& args) const;
    // Waits until the queue has no job left and count PDF files are in the
    // output folder; returns them, sorted, or fewer when it gave up (after
    // two minutes: the real spooler and ghostscript take real time).
    std::vector<std::string> WaitForOutput(std::size_t count) const;
    // The scheduler's error log, for a failure's message.
    std::string Log() const;

private:
    std::string dir_;
    std::string error_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace velmora::test
