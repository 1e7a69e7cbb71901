#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "physics/cd_geo_box.h"
#include "physics/cd_test_counts.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

// A physics process with the engine bound, and helpers that build its geometries. Every geometry and
// body made here is removed and freed before the process goes.
class physproc_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        process_ = std::make_unique<physproc_t>();
    }
    void TearDown() override
    {
        for (cd_geo_t* geometry : inserted_)
            process_->remove_geom(geometry);
        process_.reset();
        bodies_.clear();
        boxes_.clear();
        engine_test_t::TearDown();
    }

    // A static box of full edge lengths `size` centred at `centre`, inserted.
    cd_geo_box_t* wall(const vec3_t& centre, const vec3_t& size)
    {
        boxes_.push_back(std::make_unique<cd_geo_box_t>(size, nullptr, -1, -1));
        cd_geo_box_t* const box = boxes_.back().get();
        box->set_position(centre);
        insert(box);
        return box;
    }
    // A box of full edge lengths `size` not inserted anywhere (a probe for sweeps).
    cd_geo_box_t* probe(const vec3_t& centre, const vec3_t& size)
    {
        boxes_.push_back(std::make_unique<cd_geo_box_t>(size, nullptr, -1, -1));
        boxes_.back()->set_position(centre);
        return boxes_.back().get();
    }
    // A box body of mass 100 at `centre`, with body id `id`, inserted.
    phys_body_t* body(const vec3_t& centre, const vec3_t& size, uint16_t id)
    {
        cd_geo_box_t* const box = probe(centre, size);
        bodies_.push_back(std::make_unique<phys_body_t>());
        phys_body_t* const made = bodies_.back().get();
        made->set_mass_box(size, 100.0f);
        made->id = id;
        made->set_geom(box);
        box->set_position(centre);
        insert(box);
        return made;
    }
    void insert(cd_geo_t* geometry)
    {
        process_->insert_geom(geometry);
        inserted_.push_back(geometry);
    }
    // Takes out a geometry entered with insert (before it goes, when the test owns it).
    void remove(cd_geo_t* geometry)
    {
        process_->remove_geom(geometry);
        std::erase(inserted_, geometry);
    }

    std::unique_ptr<physproc_t> process_;
    std::vector<std::unique_ptr<cd_geo_box_t>> boxes_;
    std::vector<std::unique_ptr<phys_body_t>> bodies_;
    std::vector<cd_geo_t*> inserted_;
};
