#pragma once
#include "engine/entity.h"

// The map editor's controller, registered as "editor.ctrl". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class edit_ctrl_e : public entity_t {};
