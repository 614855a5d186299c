// The tag programmer's bytes and states: commands, the line assembler, the
// answer handling by awaited response, time-outs and resends, the status
// code table and the model detection. StepProgrammerLink (ProgrammerApi.h)
// drives these once per tick.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class AEIData;
class SerialPorts;

inline constexpr const char* kProbeCommand = "#30\r";
inline constexpr const char* kStatusCommand = "#40\r";

inline constexpr uint32_t kStatusWait = 2;     // first wait for a status answer
inline constexpr uint32_t kProbeWait = 30;     // first wait for a model answer
inline constexpr uint32_t kResendWait = 15;    // wait after each resend
inline constexpr uint32_t kExchangeWait = 8;   // program and read commands
inline constexpr uint32_t kCheckInterval = 30; // between status checks
inline constexpr uint32_t kReconnectInterval = 20;

// "#201%s\r" (or "#204%s\r" for model index 1, the half-frame AP4112) with
// the frame text; "#211\r" / "#214\r" for a read.
std::string ProgramCommand(int modelIndex, std::string_view frameText);
std::string ReadCommand(int modelIndex);

// Model detection from a "#Model" line: "Unknown" with index 2, then the
// last of "AP4118" (2), "AP4112" (1), "AP4110" (0) found in the line wins.
struct DetectedModel {
    std::string name = "Unknown";
    int index = 2;
};
DetectedModel DetectModel(std::string_view line);

// The model text from the line's first "A" up to the next blank, and the
// version text after the first blank that follows "Ver" behind it; false
// (nothing taken) when the line has no blank after an "A", no "Ver" after
// it, or no blank after "Ver".
bool ParseModelLine(std::string_view line, std::string& model, std::string& version);

// The last-error text for a status answer line "#cc...": the table text of
// the two characters after "#", or the answer's own text followed by
// " Unknown", cut to 39 characters.
std::string StatusCodeText(std::string_view line);

// The programmer ports' frame assembler: cuts the lines out of the port's
// ring, logs and queues each non-empty one; returns the number queued.
int AssembleProgrammerLines(AEIData& data, SerialPorts& ports, int port);

// One received line of a programmer port, handled by the port's awaited
// response.
void HandleProgrammerLine(AEIData& data, SerialPorts& ports, int port, std::string_view line,
                          uint32_t now);

// The port's deadline has passed: resend while retries remain, else give up.
void ProgrammerTimeout(AEIData& data, SerialPorts& ports, int port, uint32_t now);

} // namespace velmora
