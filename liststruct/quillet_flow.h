#ifndef LISTSTRUCT_QUILLET_FLOW_H_
#define LISTSTRUCT_QUILLET_FLOW_H_

/// The whole run of quillet, from the start-up dialogue to the hand-off; never returns.
[[noreturn]] void RunQuillet(const char* argv0);

#endif  // LISTSTRUCT_QUILLET_FLOW_H_
