#pragma once
#include <dlfcn.h>

#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "frame/engine_api.h"

// A reset engine with the module's engine pointers bound from the engine library of the test process.
class frame_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // The engine library's handle, as the host hands it to DLL_register.
    static HMODULE engine_handle()
    {
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void*>(&::message), &info))
            return nullptr;
        return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    }
};
