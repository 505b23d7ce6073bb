#pragma once
// The one way the simulator lists things in a line of text.
#include <string>
#include <vector>

namespace vela::sim {

// The parts separated by ", ".
inline std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += ", ";
        text += part;
    }
    return text;
}

}  // namespace vela::sim
