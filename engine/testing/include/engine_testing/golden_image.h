#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Golden pictures: a screenshot compared with a small reference PNG kept with the tests.
//
// The picture is first halved in both directions (each reference pixel the mean of four), which keeps
// the references small and forgives one-pixel differences of rasterisers. It matches when at most
// 0.5% of the pixels differ by more than 24 in some channel and the mean difference is at most 2.
// A missing reference, a size that differs and a picture of one colour (a black screenshot) fail.
// With KAVRENTA_UPDATE_GOLDEN=1 in the environment the reference is (re)written instead
// (tools/update-golden.sh).

// An RGB picture, top-down rows, 3 bytes a pixel.
struct golden_picture_t {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Compares `picture` with the reference PNG at `reference` (a host path).
::testing::AssertionResult golden_image_matches(const golden_picture_t& picture, const std::string& reference);

// True when every pixel of the picture has the same colour.
bool golden_image_uniform(const golden_picture_t& picture);
