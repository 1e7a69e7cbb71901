#pragma once

class def_pool_t;

// The module's local definitions, "/scripts/local.def": its object "translate" maps text keys to the
// texts shown to the player.

// Loads "/scripts/local.def" through the resource cache (once; the module keeps one reference) and
// returns the pool, or null when the file is missing or unreadable.
def_pool_t* load_local_def();
// Gives the reference back and forgets the pool (nothing when none is held).
void release_local_def();

// The translation of a text key: the key's value in "translate", or the key itself when there is no
// pool, no "translate" object, or no or an empty value. The font keys "__fnt_sml", "__fnt_mid" and
// "__fnt_big" are looked up with a suffix for the screen height: "_0" below 600 pixels, "_1" below 720,
// "_2" below 1024, "_3" from 1024. The result lives until the cache next frees the pool's memory (a mode
// change does): callers copy it at once.
const char* translate(const char* key);
