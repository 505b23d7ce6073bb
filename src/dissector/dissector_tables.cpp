// Writes the Wireshark dissector: its hand-written Lua with, in place of the
// line "-- @GENERATED_TABLES@", the console's own device names, received
// sentences and choice of device type for a sent frame, taken from the
// protocol code at build time so that the dissector cannot drift from it.
//
//     vela_dissector_tables TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/command_codes.h"
#include "protocol/decoded_command.h"
#include "protocol/device_name.h"
#include "protocol/monitor.h"
#include "record/session_record.h"

using namespace vela;

namespace {

constexpr std::string_view kMarker = "-- @GENERATED_TABLES@";

constexpr Device kTypes[] = {Device::HandTerminal, Device::TicketMachine, Device::DotMatrix,
                             Device::MainBoard,    Device::Chime,         Device::Everyone};

std::string key_of(Device device) {
    switch (device) {
    case Device::HandTerminal: return "hand_terminal";
    case Device::TicketMachine: return "ticket_machine";
    case Device::DotMatrix: return "dot_matrix";
    case Device::MainBoard: return "main_board";
    case Device::Chime: return "chime";
    case Device::Everyone: return "everyone";
    case Device::Unknown: break;
    }
    return "unknown";
}

// A Lua string literal; bytes outside printable ASCII as decimal escapes, so
// that UTF-8 text passes unchanged.
std::string lua(std::string_view text) {
    std::string literal = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            literal += '\\';
            literal += std::to_string(c);
        } else {
            literal += static_cast<char>(c);
        }
    }
    return literal + "\"";
}

std::string without_suffix(std::string text, std::string_view suffix) {
    if (text.ends_with(suffix)) text.resize(text.size() - suffix.size());
    return text;
}

Frame frame_of(Byte code, const code::Pattern& parameters, Byte number) {
    Frame f{kStartByte, code, parameters.data3, parameters.data4, parameters.data5, number, 0};
    f[6] = Kontrol_Toplami(f[0], f[1], f[2], f[3], f[4], f[5]);
    return f;
}

// The device type of every number for one code and parameters, as runs of
// numbers ("{low, high, type}"); empty when no type reads the code.
std::string runs_of(Byte code, const code::Pattern& parameters) {
    std::string runs;
    std::string open_type;
    int open_low = 0;
    for (int number = 0; number <= 256; ++number) {
        std::string type;
        if (number < 256) {
            const auto decoded = decode_command(frame_of(code, parameters, static_cast<Byte>(number)));
            if (decoded && !std::holds_alternative<UnknownCommand>(decoded->command)) type = key_of(decoded->device);
        }
        if (type == open_type) continue;
        if (!open_type.empty()) {
            std::ostringstream run;
            run << '{' << open_low << ", " << number - 1 << ", " << lua(open_type) << "}, ";
            runs += run.str();
        }
        open_type = type;
        open_low = number;
    }
    return runs;
}

std::string tables() {
    std::ostringstream out;
    out << "local START_BYTE = " << int(kStartByte) << "\n";
    out << "local UNKNOWN_SENTENCE = " << lua(recognised_meaning({})) << "\n";
    out << "local UNKNOWN_DEVICE_PREFIX = " << lua(without_suffix(device_name(Device::Unknown, 0), "0")) << "\n";
    out << "local NUMBER_PREFIX = " << lua(without_suffix(unknown_type_name(0), "0" + std::string(kUnknownTypeNote)))
        << "\n";
    out << "local UNKNOWN_TYPE_NOTE = " << lua(kUnknownTypeNote) << "\n";
    out << "local UNKNOWN_TYPE = " << lua(kUnknownTypeWord) << "\n";

    out << "local DEVICE_TYPES = {\n";
    for (const Device device : kTypes) {
        const bool numbered = device_name(device, 0) != device_name(device, 1);
        const std::string name = numbered ? without_suffix(device_name(device, 0), " 0") : device_name(device, 0);
        out << "    " << key_of(device) << " = { name = " << lua(name)
            << ", numbered = " << (numbered ? "true" : "false") << " },\n";
    }
    out << "}\n";

    // Parameters that can change which type a code addresses: none, and each
    // fixed pattern of the bus.
    const code::Pattern patterns[] = {code::hand_terminal::kResetPattern, code::general::kLoadAddressPattern};
    out << "local OUTBOUND = {\n";
    for (int code = 0; code < 256; ++code) {
        const std::string runs = runs_of(static_cast<Byte>(code), {0, 0, 0});
        std::string by_pattern;
        for (const code::Pattern& p : patterns) {
            const std::string pattern_runs = runs_of(static_cast<Byte>(code), p);
            if (pattern_runs == runs) continue;
            by_pattern += "[\"" + std::to_string(p.data3) + "," + std::to_string(p.data4) + "," +
                          std::to_string(p.data5) + "\"] = { " + pattern_runs + "}, ";
        }
        if (runs.empty() && by_pattern.empty()) continue;
        out << "    [" << code << "] = { default = { " << runs << "}, patterns = { " << by_pattern << "} },\n";
    }
    out << "}\n";

    out << "local RECEIVED = {\n";
    for (const DecodingRow& row : decoding_rows()) {
        out << "    { code = " << int(row.code) << ", open = " << (row.parameters_open ? "true" : "false")
            << ", last_open = " << (row.last_parameter_open ? "true" : "false") << ", sentence = " << lua(row.sentence)
            << ", sender = " << (row.sender == Device::Unknown ? "nil" : lua(key_of(row.sender))) << " },\n";
    }
    out << "}\n";
    return out.str();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "kullanım: vela_dissector_tables ŞABLON ÇIKTI\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    std::string lua_text = text.str();
    const std::size_t at = lua_text.find(kMarker);
    if (!in || at == std::string::npos) {
        std::cerr << argv[1] << ": şablon okunamadı ya da '" << kMarker << "' satırı yok\n";
        return 1;
    }
    lua_text.replace(at, kMarker.size(), "-- Generated at build time; do not edit.\n" + tables());
    std::ofstream out(argv[2], std::ios::binary);
    out << lua_text;
    return out ? 0 : 1;
}
