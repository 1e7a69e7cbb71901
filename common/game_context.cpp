#include "common/game_context.h"

#include <memory>

#include "engine/def_pool.h"
#include "engine/reset.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"

namespace {

// The pool and its use count.
std::unique_ptr<def_pool_t> context_pool;
int context_uses = 0;

void reset_game_context()
{
    context_pool.reset();
    context_uses = 0;
}

// Module state goes back with the processes that use it.
engine_reset_registrar_t game_context_reset(reset_order_processes + 10, reset_game_context);

}  // namespace

void game_context_create()
{
    if (context_uses++ == 0)
        context_pool = std::make_unique<def_pool_t>("");
}

void game_context_release()
{
    loading_screen_close();
    if (context_uses <= 0) {
        api::error("[game_context] release without a use");
        return;
    }
    if (--context_uses == 0)
        context_pool.reset();
}

def_obj_t* game_context_get()
{
    if (!context_pool)
        return nullptr;
    if (def_obj_t* found = context_pool->find("context"))
        return found;
    def_obj_t* made = context_pool->new_object("context");
    context_pool->add_object(made);
    return made;
}
