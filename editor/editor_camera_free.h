#pragma once
#include "engine/entity.h"

// The map editor's free camera, registered as "editor.camera.free". For now only what the type registry needs: the
// engine creates, names and destroys it by that type name.
class editor_camera_free_e : public entity_t {};
