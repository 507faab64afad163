#pragma once
// A controller that does not answer costs its whole reply timeout, a second
// or more; a test suite that makes controllers fall silent on purpose pays
// that dozens of times. CORVANE_REPLY_TIMEOUT_SCALE, a factor from 0.1 to 1 in
// the environment, shortens the tick that reply timeouts are counted in; unset
// or any other value leaves it as it is. Only tests set it: against a real
// controller the full timeouts are what the protocol needs.

inline constexpr const char* kReplyTimeoutScaleVariable = "CORVANE_REPLY_TIMEOUT_SCALE";
inline constexpr int kReplyTickMs = 100;

// The reply timer's tick in milliseconds.
int replyTickMs();
