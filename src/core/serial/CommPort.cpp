#include "serial/CommPort.h"

#include "util/FixedText.h"

#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {

std::optional<long> ParseWhole(std::string_view s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

std::optional<PortMode> ParseModeString(std::string_view mode) {
    std::string_view fields[4];
    int n = 0;
    while (true) {
        std::size_t comma = mode.find(',');
        if (n == 4) return std::nullopt;
        fields[n++] = TrimBlanks(mode.substr(0, comma));
        if (comma == std::string_view::npos) break;
        mode.remove_prefix(comma + 1);
    }
    if (n != 4) return std::nullopt;

    PortMode m;
    auto baud = ParseWhole(fields[0]);
    if (!baud) return std::nullopt;
    switch (*baud) {
    case 11: m.baudRate = 110; break;
    case 15: m.baudRate = 150; break;
    case 30: m.baudRate = 300; break;
    case 60: m.baudRate = 600; break;
    case 12: m.baudRate = 1200; break;
    case 24: m.baudRate = 2400; break;
    case 48: m.baudRate = 4800; break;
    case 96: m.baudRate = 9600; break;
    case 19: m.baudRate = 19200; break;
    default:
        if (*baud < 110) return std::nullopt;
        m.baudRate = static_cast<int32_t>(*baud);
    }

    if (fields[1].size() != 1) return std::nullopt;
    switch (fields[1][0]) {
    case 'n': case 'N': m.parity = Parity::None; break;
    case 'e': case 'E': m.parity = Parity::Even; break;
    case 'o': case 'O': m.parity = Parity::Odd; break;
    case 'm': case 'M': m.parity = Parity::Mark; break;
    case 's': case 'S': m.parity = Parity::Space; break;
    default: return std::nullopt;
    }

    auto data = ParseWhole(fields[2]);
    if (!data || *data < 5 || *data > 8) return std::nullopt;
    m.dataBits = static_cast<int>(*data);

    if (fields[3] == "1") m.stopBits = StopBits::One;
    else if (fields[3] == "1.5") m.stopBits = StopBits::OneAndHalf;
    else if (fields[3] == "2") m.stopBits = StopBits::Two;
    else return std::nullopt;
    return m;
}

std::string DisplayDeviceName(int port) {
    char name[20];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port + 1);
    return name;
}

std::string DefaultPortDevice(int port) {
    if (!IsValidPort(port)) return {};
    const std::string var = "VELMORA_COM" + std::to_string(port + 1);
    if (const char* v = std::getenv(var.c_str()); v && *v) return v;
#ifdef _WIN32
    return "COM" + std::to_string(port + 1);
#else
    return "/dev/ttyS" + std::to_string(port);
#endif
}

PortDeviceMap SinglePortMap(int port, std::string device) {
    return [port, device = std::move(device)](int p) { return p == port ? device : std::string(); };
}

std::optional<int> ParseComName(std::string_view name) {
    if (name.size() != 4) return std::nullopt;
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (up(name[0]) != 'C' || up(name[1]) != 'O' || up(name[2]) != 'M') return std::nullopt;
    if (name[3] < '1' || name[3] > '4') return std::nullopt;
    return name[3] - '1';
}

} // namespace velmora
