#pragma once
#include <cstdint>

// The component ids of the three HUD windows of a game, the contract with their UI scripts. The
// windows are found by group and name; the ids in their trees.

// The truck's HUD, window "hud" of group "game1" ("/ui/ghud.esc"), which the player's truck fills.
enum truck_hud_component_t : int32_t {
    truck_hud_group = 10,  // everything that hiding the HUD hides
    truck_hud_fuel = 100,
    truck_hud_speed = 110,
    truck_hud_rpm = 120,
    truck_hud_gear = 140,
    truck_hud_cruise_speed = 160,
    truck_hud_mouse_steering = 170,
    truck_hud_mouse_mode = 180,  // shown while the mouse steers, outside the cabin
    truck_hud_cabin = 190,       // shown in the cabin view
    truck_hud_cabin_gear = 200,
    truck_hud_left_blinker = 210,
    truck_hud_right_blinker = 220,
    // The mirror views, the rear one shown by bit 0 of the HUD details, the side ones by bit 1.
    truck_hud_rear_mirror = 500,
    truck_hud_left_mirror = 510,
    truck_hud_right_mirror = 520,
    // The driver panel (the CB card): picture, name and employer, in a detailed or a plain frame.
    truck_hud_driver_panel = 530,
    truck_hud_driver_picture = 531,
    truck_hud_driver_name = 532,
    truck_hud_driver_employer = 533,
    truck_hud_driver_detailed = 534,
    truck_hud_driver_plain = 535,
    truck_hud_cb_menu = 540,  // the CB menu group, and its text
    truck_hud_cb_menu_text = 541,
};

// The job HUD, window "jobhud" of group "game2" ("/ui/gjobhud.esc"): the hitched job.
enum job_hud_component_t : int32_t {
    job_hud_group = 10,  // everything that hiding the HUD hides
    job_hud_cargo = 100,
    job_hud_source = 110,
    job_hud_destination = 120,
    job_hud_pay = 130,
    job_hud_trailer_damage = 140,
    job_hud_special = 150,  // shown for a special (double pay) job
    job_hud_frame = 160,    // the template whose look tells an ordinary job from the special offer's
    job_hud_picture = 200,  // the destination trader's picture
};

// The main HUD, window "mainhud" of group "game3" ("/ui/gmainhud.esc"), which the economy controller
// opens and fills; its handler keeps the pager lines and the trailer-lost notice. Id 150 is the pager
// lines, so the damage warning stands beside them as 160.
enum main_hud_component_t : int32_t {
    main_hud_call911 = 10,
    main_hud_notice = 20,  // the trailer-lost notice
    main_hud_day_time = 100,
    main_hud_money = 110,
    main_hud_time_left = 120,
    main_hud_prestige = 130,
    main_hud_condition = 140,
    main_hud_pager_lines = 150,
    main_hud_damage_warning = 160,
};
