#pragma once
#include "model_data.h"

// The models the library holds: each loaded file once (shared by path), counted by its uses.

// Loads `path` (or finds it loaded) and takes one use; null after an error line.
psm_model_data_t* psm_model_acquire(const char* path);
// Gives back one use of a model the registry holds; frees it at zero.
void psm_model_release(psm_model_data_t* model);
// The model behind a public record; null (with an error line naming `caller`) when it is not one
// the registry holds.
psm_model_data_t* psm_model_lookup(const psm_info_t* info, const char* caller);
// Frees every model (engine reset; instances are gone by then).
void psm_models_reset();
