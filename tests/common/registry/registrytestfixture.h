#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "common/base/platformerror.h"
#include "common/registry/registry.h"
#include "hivetestsupport.h"

namespace tw::test {

// A prefix folder and a stand-in for /tmp (where Wine servers keep their lock
// files) inside a scratch folder.
class RegistryTest : public testing::Test {
protected:
    RegistryTest() : m_prefix(m_scratch.path() / "prefix"), m_tmp(m_scratch.path() / "tmp")
    {
        std::filesystem::create_directories(m_prefix);
        std::filesystem::create_directories(m_tmp);
    }

    std::unique_ptr<Registry> openRegistry() const
    {
        RegistryOptions options;
        options.serverTmpFolder = m_tmp;
        return Registry::open(m_prefix, options);
    }

    // Copies the hive files a real Wine wrote into the prefix.
    void copyWineHives() const
    {
        for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
            std::filesystem::copy_file(wineFixture(name), m_prefix / name);
    }

    std::filesystem::path systemReg() const { return m_prefix / "system.reg"; }
    std::filesystem::path userReg() const { return m_prefix / "user.reg"; }

    ScratchFolder m_scratch;
    std::filesystem::path m_prefix;
    std::filesystem::path m_tmp;
};

// Runs a call that must throw PlatformError and returns it.
template <typename Call>
std::optional<PlatformError> platformErrorOf(Call&& call)
{
    try {
        call();
    } catch (const PlatformError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace tw::test
