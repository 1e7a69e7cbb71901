#pragma once

// kv_assert(condition) states an invariant that the code around it proves: a count the code itself
// kept, a position it checked, an order it sorted. It documents the proof and catches the day a change
// breaks it. In debug and ci builds a false condition prints "<file>:<line>: assertion failed:
// <condition>" to stderr and aborts; in release builds (NDEBUG) it compiles to nothing, though the
// condition is still type-checked and never evaluated. Never assert on what comes from a file or a
// caller: those are checked errors with a message.

// 1 when kv_assert checks its condition in this build, 0 when it is compiled out.
#ifdef NDEBUG
#define KV_ASSERT_LIVE 0
#else
#define KV_ASSERT_LIVE 1
#endif

// Prints the failed condition with its file and line to stderr and aborts the program.
[[noreturn]] void kv_assert_fail(const char* condition, const char* file, int line);

#if KV_ASSERT_LIVE
#define kv_assert(condition) ((condition) ? static_cast<void>(0) : kv_assert_fail(#condition, __FILE__, __LINE__))
#else
#define kv_assert(condition) static_cast<void>(sizeof(!(condition)))
#endif
