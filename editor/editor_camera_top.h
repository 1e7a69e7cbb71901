#pragma once
#include "engine/entity.h"

// The map editor's top-down camera, registered as "editor.camera.top". For now only what the type registry needs: the
// engine creates, names and destroys it by that type name.
class editor_camera_top_e : public entity_t {};
