#pragma once
#include <cstdint>

struct c_item_t;
struct resource_ops_t;

// The behaviour layer's two description kinds as the resource cache knows them: ".info.xml" and
// ".layer.xml" files. Their items are made under the loader lock, which each kind's finish gives back.

// The operation records of the two kinds.
extern resource_ops_t psb_info_ops;
extern resource_ops_t psb_layer_ops;

// Hand the two kinds' operations to the cache (`ci_makeup_ops`).
void psb_info_makeup_ops();
void psb_layer_makeup_ops();

// Claim names ending exactly in ".info.xml" / ".layer.xml" (case-sensitive); null for any other name.
c_item_t* psb_info_loader_match(c_item_t* parent, intptr_t argument, const char* name);
c_item_t* psb_layer_loader_match(c_item_t* parent, intptr_t argument, const char* name);
