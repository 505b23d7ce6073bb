#include "sim/printable_output.h"

#include "record/printable_text.h"

namespace vela::sim {

PrintableOutput::PrintableOutput(std::ostream& stream) : stream_(stream), target_(stream.rdbuf(this)) {}

PrintableOutput::~PrintableOutput() {
    sync();
    stream_.rdbuf(target_);
}

PrintableOutput::int_type PrintableOutput::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    held_ += traits_type::to_char_type(c);
    pass_lines();
    return c;
}

std::streamsize PrintableOutput::xsputn(const char* text, std::streamsize count) {
    held_.append(text, static_cast<std::size_t>(count));
    pass_lines();
    return count;
}

int PrintableOutput::sync() {
    const std::string shown = printable_text(held_);
    held_.clear();
    target_->sputn(shown.data(), static_cast<std::streamsize>(shown.size()));
    return target_->pubsync();
}

void PrintableOutput::pass_lines() {
    const std::size_t end = held_.rfind('\n');
    if (end == std::string::npos) return;
    const std::string shown = printable_text(std::string_view(held_).substr(0, end + 1));
    held_.erase(0, end + 1);
    target_->sputn(shown.data(), static_cast<std::streamsize>(shown.size()));
}

}  // namespace vela::sim
