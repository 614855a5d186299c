// The portable reader link: what the rest of the program calls. The reader's
// port is opened for one exchange at a time and closed at its end: a probe
// during a search, the parameter read, or the wait for a tag reading during
// an RF check. One call of StepReaderLink per 100 ms tick, after the
// programmer's step, carries them out. The bytes and states live in
// ReaderProtocol.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class AEIData;
class SerialPorts;

// Notifications posted to the frame (numbered from WM_USER).
inline constexpr int kNotifyReaderSearchEnd = 7;
// End notifications of a port's reader exchange: 8 = a search begun by
// "Search for Reader", 9 = a parameter read.
inline constexpr int32_t kEndNotifyReaderSearch = 8;
inline constexpr int32_t kEndNotifyReaderParameters = 9;
// wParam of an end notification.
inline constexpr int32_t kEndNoReply = 0;
inline constexpr int32_t kEndComplete = 1;
inline constexpr int32_t kEndUnfinished = 2;

// One tick of the reader link.
void StepReaderLink(AEIData& data, SerialPorts& ports);

// "Search for Reader": probes every port the programmer does not hold.
void SearchForReader(AEIData& data);
// "Read Reader Parameters": an FSP to the assigned port, or, with none
// assigned, a probe of all four ports.
void ReadReaderParameters(AEIData& data);
// Posts the end of the search when no port is still being searched (returns
// 1, and the reader is no longer busy); otherwise updates the reader message
// with the ports found so far (returns 0).
int ReaderSearchProgress(AEIData& data);
// The frame's handling of the end of a reader search (WM_USER + 7): boxes,
// the retry question, the assigned port, and the call back into the tag
// window's completion handler while a programmed tag waits for its RF check.
void FinishReaderSearch(AEIData& data);
// The frame's handling of the end of a parameter read (WM_USER + 9):
// wParam 0 gives "not responding", otherwise the parameters dialog.
void ReaderParametersEnded(AEIData& data, int32_t wParam);
// Dispatches a posted notification of the reader link (7, 8 or 9; the
// wParam of 8 and 9 is the one the link kept). False for other codes.
bool HandleReaderNotification(AEIData& data, int code);

// The Cancel button of the "Tag RF Read Status" window: cancels the RF
// reading requested or awaited on any port. False when none was.
bool CancelRfReading(AEIData& data);

// "Reader Port Assignment". The assigned port from the options (0..3, -1
// none; 255 and any other stored value mean none).
int AssignedReaderPort(AEIData& data);
// The choices of the "Reader Port Selection" list in order ("-none-",
// "Comm Port 1" .. "Comm Port 4") and the one to preselect.
std::vector<std::string> ReaderPortChoices();
int ReaderPortChoiceIndex(AEIData& data); // 0 = "-none-", n = Comm Port n
// OK of the dialog with a port (0..3, anything else = "-none-"): the reader
// here flags, the options' reader port, and the completion handler again
// while a programmed tag waits for its RF check (result 2).
void AssignReaderPort(AEIData& data, int port);

} // namespace velmora
