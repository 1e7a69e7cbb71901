// Feeds arbitrary bytes to the high-score reader as a table file, plain or enciphered as the first byte
// says: the definition file is deciphered and parsed, and every row of every city is read. Each time
// read must be a number within the table's range, and its text form must not overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/cipher.h"
#include "engine/def_pool.h"
#include "engine/log.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "fuzz_data_root.h"
#include "game/highscores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound || size == 0)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1)
        cipher_encode(bytes, cipher_key_gen(highscore_key_seed));
    fuzz_write_file(fuzz_data_root("highscores"), "highscores/fuzz.def", bytes.data(), bytes.size());
    if (const auto pool = def_pool_t::load("/highscores/fuzz.def")) {
        for (const def_obj_t* city : pool->objects()) {
            for (const highscore_entry_t& row : highscore_rows_read(*city)) {
                if (!(row.time >= 0.0f && row.time <= highscore_time_limit))
                    __builtin_trap();
                char text[64];
                format_game_time(row.time, text, sizeof text, 0xFFFFFFFFu);
            }
        }
    }
    log_clear_capture();
    return 0;
}
