#pragma once
// Everything the simulator prints passes through one filter: the texts it
// shows come from outside (a record's fields, file names, script lines, the
// bytes of the line), and their control characters reach the terminal
// escaped (see printable_text), wherever the line that carries them is made.
#include <ostream>
#include <streambuf>
#include <string>

namespace vela::sim {

class PrintableOutput : public std::streambuf {
public:
    // Filters what `stream` prints from now until this is destroyed.
    explicit PrintableOutput(std::ostream& stream);
    ~PrintableOutput() override;
    PrintableOutput(const PrintableOutput&) = delete;
    PrintableOutput& operator=(const PrintableOutput&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    // Passes on the whole lines held, so that a character written in two
    // parts is seen whole.
    void pass_lines();

    std::ostream& stream_;
    std::streambuf* target_;
    std::string held_;
};

}  // namespace vela::sim
