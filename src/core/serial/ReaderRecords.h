// The portable reader's share of the application data: the parameters last
// read from the reader, and what the reader link needs from the desktop
// frame (its two modeless windows and the parameters dialog). Every call of
// ReaderLinkUi has a do-nothing default, so tools and tests override only
// what they watch.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// The parameters of the reader, filled from its SSP message (not saved).
// Characters are counted from 0, the code taking 0 to 2.
struct ReaderParameters {
    int32_t port = -1;            // port they were read from, -1 = none
    char userIdSecond[10] = {};   // characters 11 to 18
    char userIdFirst[10] = {};    // characters 3 to 10
    char dateTime[10] = {};       // characters 19 to 27
    char battery[4] = {};         // characters 28 to 30
    char alarmLevel1[4] = {};     // characters 31 to 33
    char alarmLevel2[4] = {};     // characters 34 to 36
    char alarmLevel3[4] = {};     // characters 37 to 39
    char firmwareVersion[20] = {}; // characters 40 to the end
};

class ReaderLinkUi {
public:
    virtual ~ReaderLinkUi() = default;

    // The modeless reader message window (search or parameter read).
    virtual void OpenReaderMessage(const std::string& text) { (void)text; }
    virtual bool ReaderMessageOpen() const { return false; }
    virtual void SetReaderMessageText(const std::string& text) { (void)text; }
    virtual void CloseReaderMessage() {}

    // The modeless "Tag RF Read Status" window; its Cancel button calls
    // CancelRfReading (ReaderApi.h).
    virtual void OpenRfReadStatus(const std::string& text) { (void)text; }
    virtual bool RfReadStatusOpen() const { return false; }
    virtual void CloseRfReadStatus() {}
    // A new text for the open "Tag RF Read Status" window.
    virtual void SetRfReadStatusText(const std::string& text) { (void)text; }

    // The modal "Portable Reader Parameters" dialog; "Refresh" closes it as
    // OK does.
    virtual void ShowReaderParameters(const ReaderParameters& parameters) { (void)parameters; }
};

struct ReaderLinkShared {
    ReaderParameters parameters;
    // Set by the desktop frame (or a tool); null means nothing is shown.
    ReaderLinkUi* ui = nullptr;
    // wParam of the last end notification posted for a reader exchange
    // (1 complete, 0 no reply at all, 2 replies began but did not finish).
    int32_t lastEndParam = 0;
    // The end notification of the search in progress (8 or 9, -1 none): kept
    // here as well so that the end of the search still knows what it was for
    // when another search has cleared the ports' end notifications.
    int32_t searchNotification = -1;
    // The tag reading the last RF check judged, as received.
    std::string judgedReading;
};

} // namespace velmora
