#pragma once

// Each engine family that keeps global state registers how to put it back to its start state, so a
// test (or a host restart) can reset the whole engine. Lower orders run first.
struct engine_reset_registrar_t {
    engine_reset_registrar_t(int order, void (*reset)());
};

// Runs every registered reset in ascending order.
void engine_reset_families();

// Orders of the families that exist; a family picks a free number between them.
enum engine_reset_order_t {
    reset_order_processes = 100,  // processes end first: they own entities and resources
    reset_order_entities = 200,
    reset_order_cache = 300,
    reset_order_console = 400,
    reset_order_files = 500,
    reset_order_devices = 600,
    reset_order_core = 900,  // log, memory, random, clock last
};
