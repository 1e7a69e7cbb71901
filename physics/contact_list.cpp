#include "physics/contact_list.h"

#include "engine/reset.h"

namespace {

// Lives as long as the module; emptied when the engine is reset.
contact_list_t output_contacts;

const engine_reset_registrar_t output_contacts_reset(reset_order_processes + 20, [] { output_contacts.remove_all(); });

}  // namespace

contact_list_t& phys_output_contacts() { return output_contacts; }

void contact_list_insert(contact_list_t& list, const phys_contact_t& record, bool at_end, float margin)
{
    if (at_end) {
        while (list.last() && list.last()->value().key > record.key + margin)
            list.remove_last();
    }
    contact_list_t::node_t* same = nullptr;
    for (contact_list_t::node_t* node = list.first(); node; node = node->next()) {
        if (node->value().same_identity(record)) {
            same = node;
            break;
        }
    }
    // The old record makes way; the new one goes where its key belongs.
    if (same)
        list.remove(same);
    contact_list_t::node_t* filed = nullptr;
    if (at_end) {
        filed = list.append(record);
    } else {
        contact_list_t::node_t* after = list.first();
        while (after && !(after->value().key > record.key))
            after = after->next();
        filed = list.insert_before(after, record);
    }
    if (filed)
        filed->value().flags = 0;
}

void contact_list_merge(contact_list_t& destination, const contact_list_t& source)
{
    for (const phys_contact_t& record : source) {
        bool held = false;
        for (const phys_contact_t& kept : destination) {
            if (kept.second == record.second && kept.first_item == record.first_item &&
                kept.second_item == record.second_item) {
                held = true;
                break;
            }
        }
        if (!held)
            destination.append(record);
    }
}
