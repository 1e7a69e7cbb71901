#pragma once
#include <cstdarg>
#include <string>
#include <vector>

#include "engine/api.h"

// Console and log output. Every line is kept in a bounded history (index 0 is the newest) and,
// while the capture is on (it is unless the host turns it off), in the capture buffer that tests read.

// Severity of one log line.
enum class log_level_t { verbose, message, warning, error };

ENGINE_API void verbose(const char* format, ...) __attribute__((format(printf, 1, 2)));
ENGINE_API void message(const char* format, ...) __attribute__((format(printf, 1, 2)));
ENGINE_API void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
ENGINE_API void error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The va_list forms, used by processes that prefix their own name.
ENGINE_API void verbose_proc(const char* format, va_list args);
ENGINE_API void message_proc(const char* format, va_list args);
ENGINE_API void warning_proc(const char* format, va_list args);
ENGINE_API void error_proc(const char* format, va_list args);

// Number of lines the history holds now, and line `index` (0 newest); null past the end.
ENGINE_API int message_history_count();
ENGINE_API const char* message_history(int index);

// Text of an error number (errno values), and the address of the engine's error number.
ENGINE_API const char* v_strerror(int error_number);
ENGINE_API int* v_errno_addr();

// Reports a failed assertion as an error line; never aborts the game.
ENGINE_API void v_assert_fail(const char* expression, const char* file, int line);

// Adds one already formatted line at the given level (the common path of the calls above).
void log_line(log_level_t level, const char* text);

// Echo of log lines to the host's stderr (the host turns it on; tests keep it off).
void log_set_echo(bool echo);

// One captured line: level and text.
struct log_entry_t {
    log_level_t level;
    std::string text;
};

// Turns the capture on or off; the host, which reads no capture, keeps it off so a long run stays flat.
void log_set_capture(bool capture);

// Everything logged since the last `log_clear_capture`, oldest first.
const std::vector<log_entry_t>& log_captured();
void log_clear_capture();
// Empties the history too (engine reset between tests).
void log_reset();
