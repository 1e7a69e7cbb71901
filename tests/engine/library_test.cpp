#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/host.h"
#include "engine/library.h"
#include "engine/log.h"
#include "engine/win32.h"
#include "engine_testing/engine_test.h"

namespace {

using library_test = engine_test_t;

// Sets an environment variable for one test and puts the old value back afterwards.
class scoped_env_t {
public:
    scoped_env_t(const char* name, const char* value) : name_(name)
    {
        if (const char* old = getenv(name))
            old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~scoped_env_t()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST_F(library_test, missing_library_gives_null_and_a_message)
{
    EXPECT_EQ(dll_register("lib/nosuchlib"), nullptr);
    EXPECT_FALSE(engine_log_matching("dll_register: cannot find libnosuchlib.so for lib/nosuchlib").empty());
    EXPECT_EQ(dll_register("psm"), nullptr);
    EXPECT_EQ(dll_register("lib/../etc"), nullptr);
    EXPECT_EQ(dll_register(nullptr), nullptr);
    EXPECT_EQ(dll_handle(nullptr), nullptr);
}

TEST_F(library_test, library_beside_the_program_is_bound_by_name)
{
    dll_t* engine = dll_register("lib/engine");
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(dll_register("lib/engine"), engine) << "registered once";
    HMODULE handle = dll_handle(engine);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetProcAddress(handle, "message"), reinterpret_cast<void*>(&message));
    EXPECT_EQ(GetProcAddress(handle, "no_such_function"), nullptr);
}

TEST_F(library_test, module_handle_finds_loaded_libraries_only)
{
    HMODULE engine = GetModuleHandleA("engine.dll");
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(GetProcAddress(engine, "message"), reinterpret_cast<void*>(&message));
    EXPECT_EQ(GetModuleHandleA("engine"), engine);
    EXPECT_EQ(GetModuleHandleA("nosuchlib"), nullptr);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}

TEST_F(library_test, documents_folder_comes_from_the_host_home_then_the_environment)
{
    const std::filesystem::path documents = home_ / "My Documents";
    char path[MAX_PATH];
    {
        const scoped_env_t xdg("XDG_DOCUMENTS_DIR", documents.c_str());
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, 0));
        EXPECT_EQ(path, home_.string()) << "the host's --home stands for the documents folder";
    }
    host_settings().documents.clear();
    {
        const scoped_env_t xdg("XDG_DOCUMENTS_DIR", documents.c_str());
        EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, 0)) << "missing and not created";
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, 1));
        EXPECT_EQ(path, documents.string());
        EXPECT_TRUE(std::filesystem::is_directory(documents));
        EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, 0x001a, 1)) << "only the documents folder is known";
    }
    {
        const scoped_env_t xdg("XDG_DOCUMENTS_DIR", nullptr);
        const scoped_env_t home("HOME", home_.c_str());
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, 0));
        EXPECT_EQ(path, (home_ / "Documents").string());
    }
    {
        const std::string too_long = home_.string() + "/" + std::string(300, 'd');
        const scoped_env_t xdg("XDG_DOCUMENTS_DIR", too_long.c_str());
        EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, 1));
        EXPECT_FALSE(engine_log_matching("path is longer than 259 bytes").empty());
    }
}

}  // namespace
