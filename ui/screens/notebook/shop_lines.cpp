#include "ui/screens/notebook/shop_lines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "common/format.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"

namespace {

// The four figures of a line, in the order they are shown.
constexpr const char* figure_keys[] = {"power", "handling", "prestige", "maint"};

// Appends `piece` to `out` when the whole of it still fits.
void append(char (&out)[shop_line_size], const char* piece)
{
    const size_t used = std::strlen(out);
    const size_t length = std::strlen(piece);
    if (used + length < shop_line_size)
        std::memcpy(out + used, piece, length + 1);
}

// One figure of an accessory: "0%|", or coloured with its sign.
void append_figure(char (&out)[shop_line_size], const char* key, const int32_t value)
{
    if (value == 0) {
        append(out, "0%|");
        return;
    }
    const bool more_is_worse = std::strcmp(key, "maint") == 0;
    const bool helps = more_is_worse ? value <= 0 : value > 0;
    char piece[32];
    std::snprintf(piece, sizeof piece, "\\%c%c%d%%\\w|", helps ? 'g' : 'r', value > 0 ? '+' : '-', std::abs(value));
    append(out, piece);
}

// "\c" and the money.
void append_price(char (&out)[shop_line_size], const int32_t price)
{
    char money[64];
    format_money(price, money, sizeof money, 0xFFFFFFFFu);
    char piece[80];
    std::snprintf(piece, sizeof piece, "\\c%s", money);
    append(out, piece);
}

}  // namespace

int32_t part_group_from_shop_type(const char* word)
{
    if (!word || !word[0] || strcasecmp(word, "none") == 0)
        return -1;
    static constexpr const char* groups[] = {"engine", "transmission", "brakes", "pneu"};
    for (int32_t group = 0; group < 4; ++group)
        if (strcasecmp(word, groups[group]) == 0)
            return group;
    return 4;
}

int32_t part_group_of(const char* make, const char* name)
{
    char word[32];
    truck_acc_def_string(make, name, "shop_type", word, sizeof word);
    return part_group_from_shop_type(word);
}

bool is_paint_job(const char* make, const char* name)
{
    char type[32];
    truck_acc_def_string(make, name, "type", type, sizeof type);
    return strcasecmp(type, "paint") == 0;
}

void accessory_line(const char* make, const char* name, const bool paint_job, char (&out)[shop_line_size])
{
    char image[128];
    char shown[128];
    truck_acc_def_string(make, name, "imgs", image, sizeof image);
    truck_acc_def_string(make, name, "name", shown, sizeof shown);
    out[0] = '\0';
    char piece[2 * shop_line_size];
    if (paint_job)
        std::snprintf(piece, sizeof piece, "%s|@@ui_paint_job@@ \"%s\"|", image, shown);
    else
        std::snprintf(piece, sizeof piece, "%s|%s|", image, shown);
    append(out, piece);
    for (const char* key : figure_keys) {
        int32_t value = 0;
        truck_acc_def_int(make, name, key, value);
        append_figure(out, key, value);
    }
    int32_t price = 0;
    truck_acc_def_stats(make, name, price);
    append_price(out, price);
}

void offer_line(const economy_ctrl_e& economy, const company_truck_t& offer, char (&out)[shop_line_size])
{
    char make[sizeof offer.make + 1];
    std::snprintf(make, sizeof make, "%.*s", static_cast<int>(sizeof offer.make), offer.make);
    char shown[128];
    truck_def_string(make, "name", shown, sizeof shown);
    out[0] = '\0';
    char piece[2 * shop_line_size];
    std::snprintf(piece, sizeof piece, "%s|", shown);
    append(out, piece);
    for (const char* key : figure_keys) {
        int32_t sum = 0;
        for (const auto& accessory : offer.accessories) {
            int32_t value = 0;
            if (accessory[0] != '\0' && truck_acc_def_int(make, accessory, key, value))
                sum += value;
        }
        if (sum == 0) {
            append(out, "0%|");
        } else {
            std::snprintf(piece, sizeof piece, "\\g%d%%\\w|", sum);
            append(out, piece);
        }
    }
    append_price(out, economy.truck_value(offer));
}
