#include "engine/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>

namespace {

constexpr size_t history_capacity = 1024;
constexpr size_t line_capacity = 4096;

std::deque<std::string> history;  // front is the newest line
std::vector<log_entry_t> captured;
bool echo_enabled = false;
bool capture_enabled = true;
int engine_errno = 0;

void log_formatted(log_level_t level, const char* format, va_list args)
{
    char line[line_capacity];
    vsnprintf(line, sizeof line, format, args);
    log_line(level, line);
}

}  // namespace

void log_line(log_level_t level, const char* text)
{
    history.emplace_front(text);
    if (history.size() > history_capacity)
        history.pop_back();
    if (capture_enabled)
        captured.push_back({level, text});
    if (echo_enabled)
        fprintf(stderr, "%s\n", text);
}

void log_set_echo(bool echo) { echo_enabled = echo; }
void log_set_capture(bool capture) { capture_enabled = capture; }
const std::vector<log_entry_t>& log_captured() { return captured; }
void log_clear_capture() { captured.clear(); }

void log_reset()
{
    history.clear();
    captured.clear();
}

ENGINE_API void verbose_proc(const char* format, va_list args) { log_formatted(log_level_t::verbose, format, args); }
ENGINE_API void message_proc(const char* format, va_list args) { log_formatted(log_level_t::message, format, args); }
ENGINE_API void warning_proc(const char* format, va_list args) { log_formatted(log_level_t::warning, format, args); }
ENGINE_API void error_proc(const char* format, va_list args) { log_formatted(log_level_t::error, format, args); }

#define KAVRENTA_LOG_VARIADIC(name)                                                                                    \
    ENGINE_API void name(const char* format, ...)                                                                      \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        name##_proc(format, args);                                                                                     \
        va_end(args);                                                                                                  \
    }
KAVRENTA_LOG_VARIADIC(verbose)
KAVRENTA_LOG_VARIADIC(message)
KAVRENTA_LOG_VARIADIC(warning)
KAVRENTA_LOG_VARIADIC(error)
#undef KAVRENTA_LOG_VARIADIC

ENGINE_API int message_history_count() { return static_cast<int>(history.size()); }

ENGINE_API const char* message_history(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= history.size())
        return nullptr;
    return history[static_cast<size_t>(index)].c_str();
}

ENGINE_API const char* v_strerror(int error_number) { return strerror(error_number); }
ENGINE_API int* v_errno_addr() { return &engine_errno; }

ENGINE_API void v_assert_fail(const char* expression, const char* file, int line)
{
    error("assertion failed: %s (%s:%d)", expression, file, line);
}

#include "engine/reset.h"
static engine_reset_registrar_t log_reset_registrar(reset_order_core, log_reset);
