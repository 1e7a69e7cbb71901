#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/entity_proc.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "physics/cd_geo_box.h"
#include "physics/dynamic_object.h"
#include "physics/phys_body.h"
#include "physics/vclip.h"

// A dynamic object that keeps what its contact response reports.
class probe_object_e : public dynamic_object_e {
public:
    // One report of apply_impact.
    struct impact_t {
        bool has_point;
        vclip_contact_t point;
        cd_geo_t* other;
        uint32_t other_item;
    };

    void apply_impact(const vclip_contact_t* point, cd_geo_t* other, uint32_t other_item) override
    {
        impacts.push_back({point != nullptr, point ? *point : vclip_contact_t{}, other, other_item});
    }

    std::vector<impact_t> impacts;
};

// An entity process in which the test's physical objects live (so they have a frame time), and helpers
// that build them. Objects leave the process before they go.
class physical_object_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        process_ = new entity_proc_t;
        ASSERT_TRUE(process_add(process_, nullptr, -1, 0));
    }
    void TearDown() override
    {
        for (const auto& object : objects_)
            process_->entity_remove(object.get());
        objects_.clear();
        engine_test_t::TearDown();
    }

    // An object of type `object_t`, initialised through its phases and living in the process.
    template <typename object_t> object_t* add(std::unique_ptr<object_t> object)
    {
        object_t* const made = object.get();
        for (const int phase : made->get_init_list()->levels())
            EXPECT_EQ(made->init(phase), 0);
        process_->entity_insert(made);
        objects_.push_back(std::move(object));
        return made;
    }

    // A probe object with a box geometry of full edge lengths `size` on a body of mass 100 centred at
    // `centre`, linked.
    probe_object_e* box_object(const vec3_t& centre, const vec3_t& size = {100.0f, 100.0f, 100.0f})
    {
        auto object = std::make_unique<probe_object_e>();
        object->geometry = new cd_geo_box_t(size, nullptr, -1, -1);
        object->body = new phys_body_t;
        object->body->set_mass_box(size, 100.0f);
        object->link_geom();
        object->geometry->set_position(centre);
        return add(std::move(object));
    }

    entity_proc_t* process_ = nullptr;
    std::vector<std::unique_ptr<entity_t>> objects_;
};
