#!/usr/bin/env python3
"""Writes the sample game's files of the player's truck: its sound set (named stand-in sounds; the engine
and horn sounds belong to each make, tools/make_vehicle_data.py) and the CB radio's voice definitions
under data/defs/voices/ with the radio chatter they name.

Run from the repository root: python3 tools/make_truck_data.py
"""
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")

SOUNDS = [
    "environment/am_inrain1", "environment/am_inrain2", "environment/am_rain1", "environment/am_rain2",
    "truck/parkingbrake-set", "truck/parkingbrake-release", "truck/reverse_signal", "truck/tr_attach",
    "truck/tr_detach", "truck/jake-brake-short", "truck/airbrake", "truck/click", "truck/radar",
    "truck/scratch", "truck/col1", "truck/col2", "truck/col3", "truck/col4", "truck/ti_wiper_u",
    "truck/ti_wiper_d", "ui/pager",
]

# Number of CB voices; each line names one chatter sound per voice.
VOICES = 4

# The lines of each voice file set, by file name prefix: one text per index.
LINES = {
    "weather_ask_": ["How's the sky up your way?", "Any weather ahead, driver?", "Is it dry where you are?",
                     "Should I get the wipers ready?", "What's the road like out there?"],
    "traffic_ask_": ["How's the traffic ahead?", "Is the road clear your way?"],
    "gen_reply_": ["Copy that.", "Roger, thanks.", "Ten-four.", "Heard you loud and clear.", "Good to know.",
                   "Thanks, driver."],
    "gen_comment_": ["Long haul today.", "This load drives like a brick.", "Coffee can't come soon enough.",
                     "Nice evening for a drive.", "Watch that bend by the river.", "Fuel prices again...",
                     "Anyone else hungry?", "Quiet on the radio tonight.", "Keep the shiny side up.",
                     "Almost home."],
    "crazy_reply_": ["Say what now?", "My cabbage is fine, thanks.", "Is that you, mother?",
                     "The moon is made of axle grease."],
    "weather_answ_nice_": ["Clear skies here.", "Sun is out, all dry.", "Lovely weather, no worries."],
    "weather_answ_lrain_": ["A bit of drizzle.", "Light rain on and off.", "Wipers on slow here."],
    "weather_answ_hrain_": ["It's pouring.", "Heavy rain, take it easy.", "Can barely see for the rain."],
    "weather_answ_snow_": ["Snow on the road.", "It's snowing out here.", "White all over, go slow."],
    "traffic_answ_good_": ["Road's wide open.", "Nobody around.", "Clear all the way.", "Smooth going.",
                           "Hardly a car in sight.", "Free road ahead."],
    "traffic_answ_light_": ["A few cars, nothing much.", "Light traffic.", "Some cars, moving fine.",
                            "A little busy, still rolling."],
    "traffic_answ_heavy_": ["Jammed up solid.", "Heavy traffic, bumper to bumper.", "Slow going here.",
                            "Packed, take another road."],
    "traffic_answ_cop_": ["Police on the road, watch your speed.", "Blue lights ahead.", "Cops checking trucks."],
}


def write(path, text):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def main():
    for sound in SOUNDS:
        write("sounds/%s.ogg" % sound, "kavrenta sample sound: %s\n" % sound.split("/")[-1])
    for voice in range(VOICES):
        write("sounds/voices/chatter%d.ogg" % voice, "kavrenta sample sound: radio chatter %d\n" % voice)
    for prefix, lines in LINES.items():
        for index, line in enumerate(lines):
            keys = "".join('    voice%d = "/sounds/voices/chatter%d.ogg"\n' % (v, v) for v in range(VOICES))
            write("defs/voices/%s%d.def" % (prefix, index),
                  "// A CB radio line: its sound in each voice and its text on the pager.\n"
                  'voice {\n%s    text = "%s"\n}\n' % (keys, line))


if __name__ == "__main__":
    main()
