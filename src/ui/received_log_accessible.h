#pragma once
// How screen readers and UI automation see Text7: a read-only multi-line
// text whose text, selection and cursor they can read, as an ordinary text
// box shows them.

namespace vela {

// Registers the accessible interface of ReceivedLog with Qt, once.
void installReceivedLogAccessibility();

}  // namespace vela
