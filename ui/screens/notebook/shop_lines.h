#pragma once
#include <cstddef>
#include <cstdint>

#include "game/economy/economy_records.h"

class economy_ctrl_e;

// The one-line texts of the truck shop's lists: an accessory for sale or fitted, and a dealer's
// offer. Each is "|"-separated pieces for the list's row template, at most 255 characters.

// Room for one line.
constexpr size_t shop_line_size = 256;
// Part groups of the shop's radio buttons: engine, transmission, brakes, tyres, everything else.
constexpr int32_t part_group_count = 5;

// The part group of an accessory's "shop_type" (ignoring case): "engine" 0, "transmission" 1, "brakes"
// 2, "pneu" 3, "none" or no word -1 (never sold in the shop), any other word 4.
int32_t part_group_from_shop_type(const char* word);
// The part group of accessory `name` of `make`.
int32_t part_group_of(const char* make, const char* name);
// True when the accessory's "type" is "paint" (ignoring case).
bool is_paint_job(const char* make, const char* name);

// "imgs|name|power|handling|prestige|maint|price" of accessory `name` of `make`; a paint job shows
// its name as a paint job. A figure is "0%" or its sign and size in green when it helps, red when it
// hurts (a higher maint hurts).
void accessory_line(const char* make, const char* name, bool paint_job, char (&out)[shop_line_size]);
// "make name|power|handling|prestige|maint|value" of a dealer's offer, its figures summed over its
// accessories.
void offer_line(const economy_ctrl_e& economy, const company_truck_t& offer, char (&out)[shop_line_size]);
