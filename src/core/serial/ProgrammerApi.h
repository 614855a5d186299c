// The tag programmer link: what the rest of the program calls. The tag
// workflows store a request in the programmer state; one call of
// StepProgrammerLink per 100 ms tick carries it out and, when the exchange
// ends, stores the result and calls the tag window's completion handler.
// The bytes and states live in ProgrammerProtocol.
#pragma once

#include "data/OptionBlocks.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;
class SerialPorts;

// Operation states of the programmer state record.
inline constexpr uint8_t kOpIdle = 0;
inline constexpr uint8_t kOpProgram = 1;
inline constexpr uint8_t kOpRead = 4;
inline constexpr uint8_t kOpStatusCheck = 8;
inline constexpr uint8_t kOpCheckPort = 9;
inline constexpr uint8_t kOpSearch = 10;
inline constexpr uint8_t kOpRfCheck = 19;

// Operation results.
inline constexpr uint8_t kResultProgramOk = 2;
inline constexpr uint8_t kResultProgramFailed = 3;
inline constexpr uint8_t kResultReadOk = 5;
inline constexpr uint8_t kResultReadFailed = 6;

// Notifications posted to the frame (numbered from WM_USER).
inline constexpr int kNotifyProgrammerSearchEnd = 5;
inline constexpr int kNotifyShowConnectionStatus = 6;

// End notification of a search begun by StartProgrammerSearch.
inline constexpr int32_t kEndNotifySearch = 6;

inline constexpr const char* kWatchDogExpired = "WatchDog Timer Expired";

ProgrammerState GetProgrammerState(AEIData& data);
// Stores the record; when its port or on flag changed, the status bar's
// programmer field shows "Programmer is ON Comm 1" (or "... No Comm").
void SetProgrammerState(AEIData& data, const ProgrammerState& state);
// "Programmer is %s Comm %d" or "Programmer is %s No Comm".
std::string ProgrammerStatusText(const ProgrammerState& state);

// What the frame clears at start of a run: on, next check, operation state
// and result, both search flags, frame text and response. Port, model,
// version and last error are kept.
void ClearProgrammerRunState(AEIData& data);

// Requests for the workflows: refused (false, nothing stored) unless the
// programmer is on and idle.
bool RequestProgramTag(AEIData& data, std::string_view frameText);
bool RequestReadTag(AEIData& data);

// One tick of the programmer link.
void StepProgrammerLink(AEIData& data, SerialPorts& ports);

// Marks all four ports for a probe and opens the search message.
void StartProgrammerSearch(AEIData& data);
// Posts the end of the search when no port is still being searched (returns
// 1); otherwise updates the search message with the ports found so far.
int ProgrammerSearchProgress(AEIData& data);
// The frame's handling of the end-of-search notification: boxes, prompts,
// the connection status dialog and the retry question.
void FinishProgrammerSearch(AEIData& data);

// The "Search for a Programmer" command.
void SearchForProgrammer(AEIData& data);
// The "Programmer Model and Version" command's check: false (after the error
// box) when the programmer is not on; true when the parameters may be shown.
bool CheckProgrammerOn(AEIData& data);

} // namespace velmora
